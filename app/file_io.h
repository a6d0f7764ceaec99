// Whole-file reads, crash-safe whole-file writes and per-line appends, on UTF-8 paths.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/text_codec.h"

namespace qp {

// Paths travel through the program as UTF-8; this makes the system path of one.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// A file bigger than this is read only up to it: no file the program keeps is near it,
// and a runaway file must not exhaust memory.
inline constexpr std::size_t kMaxReadBytes = 64u << 20;

// nullopt when the file does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t max_bytes = kMaxReadBytes);

// Writes a temporary file beside the target, flushes it to disk and then replaces the
// target, so that a crash at any moment leaves either the old or the new file whole.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Opens, appends, flushes and closes, so that every line survives a crash after it.
bool AppendToFile(const std::filesystem::path& path, std::string_view bytes);

// Text files of the program: the system code page, or UTF-8 when the file begins with
// a UTF-8 byte-order mark. Remember which, so the file is written back the same way.
struct FileText {
  std::string utf8;
  bool utf8_bom = false;
};
FileText DecodeFileText(std::string_view bytes, const TextCodec& codec);
std::string EncodeFileText(std::string_view utf8, bool utf8_bom, const TextCodec& codec);

}  // namespace qp

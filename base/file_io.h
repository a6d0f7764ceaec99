// Whole-file reads, crash-safe whole-file writes and per-line appends, on UTF-8 paths.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "base/text_codec.h"

namespace qp {

// A file bigger than this is read only up to it: no file the program keeps is near it,
// and a runaway file must not exhaust memory.
inline constexpr std::size_t kMaxReadBytes = 64u << 20;

// folder + separator + name; name may hold subfolders with either separator ("icons\1.bmp").
std::string JoinPath(std::string_view folder, std::string_view name);
// The folder part of a path: all before its last separator (either kind).
std::string FolderOf(std::string_view path);

// nullopt when the file does not exist or cannot be read. From offset on, at most
// max_bytes.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t max_bytes = kMaxReadBytes, std::uint64_t offset = 0);
std::optional<std::uint64_t> FileSize(const std::string& path);

// Writes a temporary file beside the target, flushes it to disk and then replaces the
// target, so that a crash at any moment leaves either the old or the new file whole.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Opens, appends, flushes and closes, so that every line survives a crash after it.
bool AppendToFile(const std::string& path, std::string_view bytes);

// Text files of the program: the system code page, or UTF-8 when the file begins with
// a UTF-8 byte-order mark. Remember which, so the file is written back the same way.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
struct FileText {
  std::string utf8;
  bool utf8_bom = false;
};
FileText DecodeFileText(std::string_view bytes, const TextCodec& codec);
std::string EncodeFileText(std::string_view utf8, bool utf8_bom, const TextCodec& codec);

}  // namespace qp

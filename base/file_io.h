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

// How a text file of the program is written, so that it is written back the same way.
enum class TextEncoding {
  CodePage,  // the system's 8-bit code page: the format's own, and every new file's
  Utf8,      // UTF-8 without a byte-order mark, as today's Notepad saves
  Utf8Bom,   // UTF-8 after EF BB BF
  Utf16Le,   // after FF FE, as Notepad's "Unicode" saves
  Utf16Be,   // after FE FF
};
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct FileText {
  std::string utf8;
  TextEncoding encoding = TextEncoding::CodePage;
};
// A byte-order mark says the encoding. Without one, bytes that hold non-ASCII characters
// and are valid UTF-8 are UTF-8 (text in a Cyrillic code page practically never is);
// anything else is the code page.
FileText DecodeFileText(std::string_view bytes, const TextCodec& codec);
std::string EncodeFileText(std::string_view utf8, TextEncoding encoding, const TextCodec& codec);
// The same without the byte-order mark: for text appended to such a file.
std::string EncodeText(std::string_view utf8, TextEncoding encoding, const TextCodec& codec);
// The encoding of a file from its first bytes alone (a prefix of it is enough to tell).
TextEncoding SniffEncoding(std::string_view head);

// The encoding of an open file as DecodeFileText judges its whole content, read from its
// start in pieces: a long file needs no more memory than a short one. The file is left at
// an arbitrary position.
TextEncoding EncodingOfFile(File& file);

// A text file of the program as it is on disk now.
struct TextFileState {
  bool exists = false;
  bool whole = true;  // read to its end: it may be rewritten whole
  FileText text;
};
TextFileState ReadTextFile(const std::string& path, const TextCodec& codec, std::size_t max_bytes = kMaxReadBytes);

// Rewrites a text file whole, safely, in the encoding it has now (the code page for a new
// one). A file that exists but cannot be read whole (unreadable, or beyond the read
// limit) is never rewritten: false, and a line in the error log says so.
bool RewriteTextFile(const std::string& path, std::string_view utf8, const TextCodec& codec);

}  // namespace qp

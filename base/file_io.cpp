// Whole-file reads, crash-safe whole-file writes and per-line appends.
#include "base/file_io.h"

#include <algorithm>

#include "base/error_log.h"

namespace qp {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !IsSeparator(path.back())) path += kPathSeparator;
  for (char c : name) path += IsSeparator(c) ? kPathSeparator : c;
  return path;
}

std::string FolderOf(std::string_view path) {
  const std::size_t last = path.find_last_of("/\\");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t max_bytes, std::uint64_t offset) {
  File f(path, File::Mode::Read);
  if (!f.IsOpen() || (offset && !f.Seek(offset))) return std::nullopt;
  std::string data;
  char buffer[65536];
  while (data.size() < max_bytes) {
    const std::size_t want = std::min(sizeof buffer, max_bytes - data.size());
    std::optional<std::size_t> got = f.Read(buffer, want);
    if (!got) return std::nullopt;
    data.append(buffer, *got);
    if (*got == 0) break;
  }
  return data;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  File f(path, File::Mode::Read);
  return f.IsOpen() ? f.Size() : std::nullopt;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".tmp";
  File f(temp, File::Mode::Write);
  if (!f.IsOpen()) return false;
  bool ok = f.Write(bytes) && f.FlushToDisk();
  ok = f.Close() && ok;
  if (ok && MoveFileOnto(temp, path)) return true;
  RemoveFile(temp);
  return false;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  File f(path, File::Mode::Append);
  if (!f.IsOpen()) return false;
  const bool ok = f.Write(bytes);
  return f.Close() && ok;
}

namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE", kUtf16BeBom = "\xFE\xFF";

bool HasNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Strictly valid UTF-8; a sequence cut at the end of a prefix still counts as valid.
bool IsUtf8(std::string_view bytes, bool prefix) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0) return false;
    if (pos + length > bytes.size()) return prefix;
    std::size_t at = pos;
    if (NextCodePoint(bytes, at) == 0xFFFD && bytes.substr(pos, 3) != "\xEF\xBF\xBD") return false;
    if (at != pos + length) return false;
    pos = at;
  }
  return true;
}

std::string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto hi = static_cast<unsigned char>(bytes[big_endian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(bytes[big_endian ? i + 1 : i]);
    units.push_back(static_cast<char16_t>(hi << 8 | lo));
  }
  return Utf8FromUtf16(units);
}

std::string EncodeUtf16(std::string_view utf8, bool big_endian) {
  std::string out;
  for (char16_t unit : Utf16FromUtf8(utf8)) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += big_endian ? hi : lo;
    out += big_endian ? lo : hi;
  }
  return out;
}

}  // namespace

TextEncoding SniffEncoding(std::string_view head) {
  if (head.starts_with(kUtf8Bom)) return TextEncoding::Utf8Bom;
  if (head.starts_with(kUtf16LeBom)) return TextEncoding::Utf16Le;
  if (head.starts_with(kUtf16BeBom)) return TextEncoding::Utf16Be;
  return HasNonAscii(head) && IsUtf8(head, true) ? TextEncoding::Utf8 : TextEncoding::CodePage;
}

FileText DecodeFileText(std::string_view bytes, const TextCodec& codec) {
  TextEncoding encoding = SniffEncoding(bytes);
  // The whole text decides between UTF-8 and the code page, not just its beginning.
  if (encoding == TextEncoding::Utf8 && !IsUtf8(bytes, false)) encoding = TextEncoding::CodePage;
  switch (encoding) {
    case TextEncoding::Utf8Bom: return {SanitizeUtf8(bytes.substr(kUtf8Bom.size())), encoding};
    case TextEncoding::Utf16Le: return {DecodeUtf16(bytes.substr(2), false), encoding};
    case TextEncoding::Utf16Be: return {DecodeUtf16(bytes.substr(2), true), encoding};
    case TextEncoding::Utf8: return {std::string(bytes), encoding};
    case TextEncoding::CodePage: break;
  }
  return {codec.Decode(bytes), TextEncoding::CodePage};
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding, const TextCodec& codec) {
  switch (encoding) {
    case TextEncoding::Utf8Bom:
    case TextEncoding::Utf8: return SanitizeUtf8(utf8);
    case TextEncoding::Utf16Le: return EncodeUtf16(utf8, false);
    case TextEncoding::Utf16Be: return EncodeUtf16(utf8, true);
    case TextEncoding::CodePage: break;
  }
  return codec.Encode(utf8);
}

std::string EncodeFileText(std::string_view utf8, TextEncoding encoding, const TextCodec& codec) {
  std::string_view mark;
  if (encoding == TextEncoding::Utf8Bom) mark = kUtf8Bom;
  if (encoding == TextEncoding::Utf16Le) mark = kUtf16LeBom;
  if (encoding == TextEncoding::Utf16Be) mark = kUtf16BeBom;
  return std::string(mark) + EncodeText(utf8, encoding, codec);
}

TextEncoding EncodingOfFile(File& file) {
  constexpr std::size_t kPiece = 64 * 1024;
  std::string bytes;  // an unfinished character of the last piece, then the next piece
  bool non_ascii = false;
  for (bool first = true;; first = false) {
    const std::size_t kept = bytes.size();
    bytes.resize(kept + kPiece);
    const std::optional<std::size_t> got = file.Read(bytes.data() + kept, kPiece);
    if (!got) return TextEncoding::CodePage;
    bytes.resize(kept + *got);
    const TextEncoding marked = first ? SniffEncoding(bytes) : TextEncoding::Utf8;
    if (marked != TextEncoding::Utf8 && marked != TextEncoding::CodePage) return marked;
    if (*got == 0) return non_ascii && bytes.empty() ? TextEncoding::Utf8 : TextEncoding::CodePage;
    // A character may go on in the next piece: its lead byte waits for it.
    std::size_t cut = bytes.size();
    for (std::size_t i = bytes.size() > 3 ? bytes.size() - 3 : 0; i < bytes.size(); ++i) {
      const auto lead = static_cast<unsigned char>(bytes[i]);
      const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
      if (length && i + length > bytes.size()) cut = i;
    }
    const std::string_view done(bytes.data(), cut);
    if (!IsUtf8(done, false)) return TextEncoding::CodePage;
    non_ascii = non_ascii || HasNonAscii(done);
    bytes.erase(0, cut);
  }
}

TextFileState ReadTextFile(const std::string& path, const TextCodec& codec, std::size_t max_bytes) {
  TextFileState state;
  std::optional<std::string> bytes = ReadFileBytes(path, max_bytes);
  if (!bytes) {
    state.exists = FileExists(path);
    state.whole = !state.exists;  // a file that is there but cannot be read is not to be replaced
    return state;
  }
  state.exists = true;
  const std::optional<std::uint64_t> size = FileSize(path);
  state.whole = size && *size == bytes->size();
  state.text = DecodeFileText(*bytes, codec);
  return state;
}

bool RewriteTextFile(const std::string& path, std::string_view utf8, const TextCodec& codec) {
  const TextFileState now = ReadTextFile(path, codec);
  if (!now.whole) {
    LogError("Not rewritten, it could not be read whole : " + path);
    return false;
  }
  return WriteFileAtomically(path, EncodeFileText(utf8, now.text.encoding, codec));
}

}  // namespace qp

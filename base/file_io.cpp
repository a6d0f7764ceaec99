// Whole-file reads, crash-safe whole-file writes and per-line appends.
#include "base/file_io.h"

#include <algorithm>

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

FileText DecodeFileText(std::string_view bytes, const TextCodec& codec) {
  if (bytes.starts_with(kUtf8Bom)) return {SanitizeUtf8(bytes.substr(kUtf8Bom.size())), true};
  return {codec.Decode(bytes), false};
}

std::string EncodeFileText(std::string_view utf8, bool utf8_bom, const TextCodec& codec) {
  if (!utf8_bom) return codec.Encode(utf8);
  std::string out(kUtf8Bom);
  out += SanitizeUtf8(utf8);
  return out;
}

}  // namespace qp

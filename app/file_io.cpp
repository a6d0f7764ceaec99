// Whole-file reads, crash-safe whole-file writes and per-line appends.
#include "app/file_io.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#ifdef _WIN32
#include <io.h>  // _commit
#else
#include <unistd.h>  // fsync
#endif

namespace qp {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wmode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool FlushToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  std::u8string u8(utf8.begin(), utf8.end());
  return std::filesystem::path(u8);
}

std::string PathToUtf8(const std::filesystem::path& path) {
  std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t max_bytes) {
  std::FILE* f = OpenFile(path, "rb");
  if (!f) return std::nullopt;
  std::string data;
  char buffer[65536];
  while (data.size() < max_bytes) {
    std::size_t want = std::min(sizeof buffer, max_bytes - data.size());
    std::size_t got = std::fread(buffer, 1, want, f);
    data.append(buffer, got);
    if (got < want) break;
  }
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return data;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path temp = path;
  temp += ".tmp";
  std::FILE* f = OpenFile(temp, "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && FlushToDisk(f);
  ok = std::fclose(f) == 0 && ok;
  std::error_code ec;
  if (ok) std::filesystem::rename(temp, path, ec);  // replaces the target in one step
  if (!ok || ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

bool AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
  std::FILE* f = OpenFile(path, "ab");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
  return std::fclose(f) == 0 && ok;
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

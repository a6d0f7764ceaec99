// The file operations through POSIX, for the native build of the portable code.
#include "base/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace qp {

File::File(const std::string& path, Mode mode) {
  int flags = O_RDONLY;
  if (mode == Mode::Write) flags = O_WRONLY | O_CREAT | O_TRUNC;
  if (mode == Mode::Append) flags = O_WRONLY | O_CREAT | O_APPEND;
  handle_ = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
}

File::~File() { Close(); }

bool File::IsOpen() const { return handle_ >= 0; }

std::optional<std::size_t> File::Read(char* buffer, std::size_t size) {
  for (;;) {
    if (!IsOpen()) return std::nullopt;
    const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return std::nullopt;
  }
}

bool File::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (!IsOpen()) return false;
    const ssize_t n = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool File::FlushToDisk() { return IsOpen() && ::fsync(static_cast<int>(handle_)) == 0; }

std::optional<std::uint64_t> File::Size() {
  struct stat info {};
  if (!IsOpen() || ::fstat(static_cast<int>(handle_), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool File::Seek(std::uint64_t offset) { return IsOpen() && ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0; }

bool File::Close() {
  if (!IsOpen()) return true;
  const bool closed = ::close(static_cast<int>(handle_)) == 0;
  handle_ = -1;
  return closed;
}

bool MoveFileOnto(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::vector<FolderEntry> ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  DIR* folder = ::opendir(path.c_str());
  if (!folder) return entries;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    const bool is_folder = ::stat((path + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    entries.push_back({name, is_folder});
  }
  ::closedir(folder);
  return entries;
}

}  // namespace qp

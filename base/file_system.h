// The few file operations the program asks of the system, on UTF-8 paths. The Windows
// piece uses the Win32 file API, the other the POSIX one (for the native tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// An open file, closed when it goes.
class File {
 public:
  enum class Mode {
    Read,
    Write,   // created, or emptied when it exists
    Append,  // created when missing; every write goes to the end
    // Read, but only once nobody writes it any more (Windows refuses while a writer has it
    // open; elsewhere the same as Read).
    ReadAlone,
  };
  // Not open (IsOpen false) when the system refused.
  File(const std::string& path, Mode mode);
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const;
  // Bytes read into the buffer, 0 at the end; nullopt on a read error.
  std::optional<std::size_t> Read(char* buffer, std::size_t size);
  bool Write(std::string_view bytes);
  // Through the system's caches onto the disk, so a crash after it loses nothing.
  bool FlushToDisk();
  std::optional<std::uint64_t> Size();
  bool Seek(std::uint64_t offset);
  // false when the system reports that written data could not be kept.
  bool Close();

 private:
  std::intptr_t handle_;
};

// Moves from onto to in one step, replacing what is there.
bool MoveFileOnto(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
bool FileExists(const std::string& path);

struct FolderEntry {
  std::string name;  // UTF-8, without the folder
  bool folder = false;
};
// What a folder holds, in no particular order ("." and ".." left out); empty when it
// cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& path);

}  // namespace qp

// The file operations through the Win32 file API.
#include "base/file_system.h"

#include <windows.h>

#include "base/text_codec.h"

namespace qp {
namespace {

std::wstring SystemPath(const std::string& utf8) {
  const std::u16string wide = Utf16FromUtf8(utf8);
  return std::wstring(wide.begin(), wide.end());
}

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

File::File(const std::string& path, Mode mode) {
  // Others may read and write alongside, as with the C library's files; replacing a
  // file someone reads must not fail either.
  const DWORD share = mode == Mode::ReadAlone ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
  if (mode == Mode::Write) {
    access = GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
  } else if (mode == Mode::Append) {
    access = FILE_APPEND_DATA | SYNCHRONIZE;
    disposition = OPEN_ALWAYS;
  }
  HANDLE h = CreateFileW(SystemPath(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  handle_ = reinterpret_cast<std::intptr_t>(h);
}

File::~File() { Close(); }

bool File::IsOpen() const { return AsHandle(handle_) != INVALID_HANDLE_VALUE; }

std::optional<std::size_t> File::Read(char* buffer, std::size_t size) {
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
  if (!IsOpen() || !ReadFile(AsHandle(handle_), buffer, want, &got, nullptr)) return std::nullopt;
  return got;
}

bool File::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() > 0x40000000 ? 0x40000000 : bytes.size());
    if (!IsOpen() || !WriteFile(AsHandle(handle_), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool File::FlushToDisk() { return IsOpen() && FlushFileBuffers(AsHandle(handle_)); }

std::optional<std::uint64_t> File::Size() {
  LARGE_INTEGER size{};
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool File::Seek(std::uint64_t offset) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(offset);
  return IsOpen() && SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN);
}

bool File::Close() {
  if (!IsOpen()) return true;
  const bool closed = CloseHandle(AsHandle(handle_));
  handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
  return closed;
}

bool MoveFileOnto(const std::string& from, const std::string& to) {
  return MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(SystemPath(path).c_str()); }

bool FileExists(const std::string& path) { return GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<FolderEntry> ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(SystemPath(path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({Utf8FromUtf16(std::u16string(name.begin(), name.end())), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

}  // namespace qp

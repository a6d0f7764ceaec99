// The link watcher: a thread that looks for "link.txt" once a second, takes it (reading and
// deleting on the thread) and hands each address to the window's thread.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

namespace qp {

class LinkWatcher {
 public:
  // path: "link.txt" of the working folder; the window gets `message` when addresses wait.
  LinkWatcher(std::string path, HWND window, UINT message);
  // Stops the thread and waits for it: a poll takes milliseconds, and a thread ended in the
  // middle of a delete is no way to end.
  ~LinkWatcher();
  LinkWatcher(const LinkWatcher&) = delete;
  LinkWatcher& operator=(const LinkWatcher&) = delete;

  // On the window's thread, at `message`: the addresses that came, oldest first.
  std::deque<std::string> Take();

 private:
  static DWORD WINAPI Run(void* self);
  void Poll();

  std::string path_;
  HWND window_;
  UINT message_;
  HANDLE stop_ = nullptr, thread_ = nullptr;
  SRWLOCK lock_ = SRWLOCK_INIT;  // over arrived_
  std::deque<std::string> arrived_;
};

}  // namespace qp

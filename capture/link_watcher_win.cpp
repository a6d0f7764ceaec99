// The link watcher thread.
#include "capture/link_watcher_win.h"

#include <utility>

#include "base/text_codec.h"
#include "capture/link_file.h"

namespace qp {

namespace {

constexpr DWORD kPollMs = 1000;

}  // namespace

LinkWatcher::LinkWatcher(std::string path, HWND window, UINT message)
    : path_(std::move(path)), window_(window), message_(message), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = CreateThread(nullptr, 0, &LinkWatcher::Run, this, 0, nullptr);
}

LinkWatcher::~LinkWatcher() {
  SetEvent(stop_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  CloseHandle(stop_);
}

DWORD WINAPI LinkWatcher::Run(void* self) {
  auto* watcher = static_cast<LinkWatcher*>(self);
  do {
    watcher->Poll();
  } while (WaitForSingleObject(watcher->stop_, kPollMs) == WAIT_TIMEOUT);
  return 0;
}

void LinkWatcher::Poll() {
  const TakenLink link = TakeLinkFile(path_, SystemCodec());
  if (!link.taken || link.first_line.empty()) return;  // an empty first line only deletes the file
  AcquireSRWLockExclusive(&lock_);
  arrived_.push_back(link.first_line);
  ReleaseSRWLockExclusive(&lock_);
  PostMessageW(window_, message_, 0, 0);
}

std::deque<std::string> LinkWatcher::Take() {
  AcquireSRWLockExclusive(&lock_);
  std::deque<std::string> taken = std::exchange(arrived_, {});
  ReleaseSRWLockExclusive(&lock_);
  return taken;
}

}  // namespace qp

// The queue of captured addresses.
#include "capture/intake_queue_win.h"

namespace qp {

IntakeQueue::IntakeQueue(HWND window, UINT message, UINT_PTR timer, std::function<bool()> must_wait,
                         std::function<void(const std::string&)> take)
    : window_(window), message_(message), timer_(timer), must_wait_(std::move(must_wait)), take_(std::move(take)) {}

void IntakeQueue::Push(const std::string& address) {
  waiting_.push_back(address);
  PostMessageW(window_, message_, 0, 0);
}

void IntakeQueue::TakeNext() {
  if (waiting_.empty()) return;
  if (must_wait_()) {
    SetTimer(window_, timer_, 100, nullptr);
    return;
  }
  const std::string address = std::move(waiting_.front());
  waiting_.pop_front();
  take_(address);
}

bool IntakeQueue::HandleMessage(UINT msg, WPARAM wparam) {
  if (msg == message_) {
    TakeNext();
    return true;
  }
  if (msg == WM_TIMER && wparam == timer_) {
    KillTimer(window_, timer_);
    for (std::size_t n = waiting_.size(); n > 0; --n) PostMessageW(window_, message_, 0, 0);
    return true;
  }
  return false;
}

}  // namespace qp

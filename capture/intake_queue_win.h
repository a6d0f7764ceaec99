// Captured addresses (clipboard, proxy) wait here, in order, until the window takes them
// in. In automatic mode every one becomes a letter, so one that arrives while a letter is
// going out waits for it instead of being dropped.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

namespace qp {

class IntakeQueue {
 public:
  // window gets `message` for each address and `timer` while one waits; must_wait says
  // whether the intake has to wait now; take is the intake itself.
  IntakeQueue(HWND window, UINT message, UINT_PTR timer, std::function<bool()> must_wait, std::function<void(const std::string&)> take);

  void Push(const std::string& address);
  // Its message and its timer; true when the message was one of them.
  bool HandleMessage(UINT msg, WPARAM wparam);

 private:
  void TakeNext();

  HWND window_;
  UINT message_;
  UINT_PTR timer_;
  std::function<bool()> must_wait_;
  std::function<void(const std::string&)> take_;
  std::deque<std::string> waiting_;
};

}  // namespace qp

// The typing aid of the request line: "h" and "f" shortcuts and completion against the
// drop-down list. Works in UTF-16 code units, as the edit control counts its caret.
#pragma once

#include <string>
#include <vector>

namespace qp {

struct TypingState {
  std::u16string text;
  std::size_t selection_start = 0, selection_end = 0;  // caret when equal
  bool dropped_down = false;
};

struct TypingResult {
  bool swallow = false;  // false: the control handles the key as usual
  std::u16string text;   // when swallowed: the new line and caret
  std::size_t caret = 0;
  enum class DropDown { Keep, Open, Close } drop_down = DropDown::Keep;
};

// One character key (WM_CHAR code) typed into the request line.
TypingResult TypingAid(const TypingState& state, char16_t key, const std::vector<std::u16string>& items, bool switched_off);

}  // namespace qp

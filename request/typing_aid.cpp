// The typing aid of the request line.
#include "request/typing_aid.h"

#include <algorithm>

namespace qp {
namespace {

constexpr char16_t kBackspace = 8, kEnter = 13, kEscape = 27;
constexpr std::size_t kTailChars = 255;

}  // namespace

TypingResult TypingAid(const TypingState& state, char16_t key, const std::vector<std::u16string>& items, bool switched_off) {
  TypingResult result;
  if (state.text.empty() && (key == u'h' || key == u'f')) {
    result.swallow = true;
    result.text = key == u'h' ? u"http://" : u"ftp://";
    result.caret = result.text.size();
    return result;
  }
  // Enter, Escape and other control keys (copy, paste, ...) keep their usual meaning.
  if (switched_off || key == kEnter || key == kEscape || (key < 32 && key != kBackspace)) return result;

  const std::size_t length = state.text.size();
  std::size_t start = std::min(state.selection_start, length), end = std::min(state.selection_end, length);
  if (start > end) std::swap(start, end);
  std::u16string before = state.text.substr(0, start);
  const std::u16string after = state.text.substr(end);
  if (key == kBackspace) {
    if (start == end && !before.empty()) before.pop_back();
  } else {
    before.push_back(key);
  }
  std::u16string text = before + after;
  if (text.empty()) return result;

  // The match looks at no more than 255 characters after the caret; the line itself
  // keeps all of its text.
  const std::u16string match = before + after.substr(0, kTailChars);
  const bool found = std::any_of(items.begin(), items.end(), [&](const std::u16string& item) { return item.starts_with(match); });
  if (found == state.dropped_down) return result;  // nothing to open or close
  result.swallow = true;
  result.text = std::move(text);
  result.caret = before.size();
  result.drop_down = found ? TypingResult::DropDown::Open : TypingResult::DropDown::Close;
  return result;
}

}  // namespace qp

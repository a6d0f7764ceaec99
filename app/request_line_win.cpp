// The request line of the main window.
#include "app/request_line_win.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "app/main_form.h"
#include "base/text_codec.h"
#include "base/url_coding.h"
#include "organize/history.h"
#include "request/typing_aid.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr int kRequestLineLimit = 1024;  // characters

std::u16string Utf16(const std::string& utf8) { return Utf16FromUtf8(utf8); }

}  // namespace

RequestLine::RequestLine(ui::Window& window, std::function<void()> enter, std::function<void()> changed)
    : window_(window), enter_(std::move(enter)), changed_(std::move(changed)) {}

HWND RequestLine::Combo() const { return window_.ControlHwnd(fmMain::cbComboBox); }
ui::Component& RequestLine::Line() const { return window_.Get(fmMain::cbComboBox); }

void RequestLine::Attach() {
  Line().SetMaxLength(kRequestLineLimit);
  COMBOBOXINFO info{sizeof info};
  if (GetComboBoxInfo(Combo(), &info) && info.hwndItem) SetWindowSubclass(info.hwndItem, EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

std::string RequestLine::Text() const { return ui::GetText(Combo()); }

void RequestLine::SetText(const std::string& text) {
  ui::SetText(Combo(), text);
  Changed();
}

void RequestLine::Changed() { ChangedTo(Text()); }

void RequestLine::ChangedTo(const std::string& text) {
  changed_();
  window_.Get(fmMain::cbComboBox).SetHint(text);
}

void RequestLine::Notify(int code) {
  if (code == CBN_EDITCHANGE) Changed();
  if (code == CBN_SETFOCUS) AddToHistory(Text());
  // An entry picked from the drop-down is a change too; the edit shows it only after this
  // notification, so the entry is read from the list.
  if (code == CBN_SELCHANGE) {
    const int picked = Line().ItemIndex();
    const std::vector<std::string> items = Line().Lines();
    if (picked < 0 || picked >= static_cast<int>(items.size())) return;
    ChangedTo(items[static_cast<std::size_t>(picked)]);
  }
}

void RequestLine::Encode() { SetText(UrlEncode(Text(), SystemCodec())); }

void RequestLine::Decode() { SetText(UrlDecode(Text(), SystemCodec())); }

void RequestLine::SetItems(const std::vector<std::string>& items) {
  // The list changes under the typed text, which stays.
  Line().SetItems(items);
}

void RequestLine::LoadHistory() {
  std::vector<std::string> entries = Line().Lines();
  for (std::string& entry : LoadInputHistory()) entries.push_back(std::move(entry));
  Line().SetItems(entries);
}

void RequestLine::AddToHistory(const std::string& text) {
  std::vector<std::string> entries = Line().Lines();
  if (AddToInputHistory(entries, text)) SetItems(entries);
}

void RequestLine::ClearHistory() { SetItems({}); }  // "recent.cfg" follows at the next close

bool RequestLine::SaveHistory() const { return SaveInputHistory(Line().Lines()); }

LRESULT CALLBACK RequestLine::EditProc(HWND edit, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self) {
  auto* line = reinterpret_cast<RequestLine*>(self);
  if (msg == WM_CHAR && line->TypedChar(static_cast<wchar_t>(wparam))) return 0;
  if (msg == WM_CHAR && wparam == VK_RETURN) return 0;  // no beep: Enter sends, on its release
  // Only an Enter pressed here sends: the release of an Enter that chose a menu entry or
  // closed a dialog also arrives here and must not start a letter.
  if (msg == WM_KEYDOWN && wparam == VK_RETURN) line->enter_down_ = true;
  if (msg == WM_KILLFOCUS) line->enter_down_ = false;
  if (msg == WM_KEYUP && wparam == VK_RETURN) {
    const bool pressed_here = std::exchange(line->enter_down_, false);
    if (pressed_here && !line->Line().DroppedDown()) {
      line->enter_();
      return 0;
    }
  }
  return DefSubclassProc(edit, msg, wparam, lparam);
}

bool RequestLine::TypedChar(wchar_t key) {
  ui::Component& combo = Line();
  const ui::Component::Selection selection = combo.GetSelection();
  TypingState state;
  state.text = Utf16(Text());
  state.selection_start = static_cast<std::size_t>(selection.start);
  state.selection_end = static_cast<std::size_t>(selection.end);
  state.dropped_down = combo.DroppedDown();
  std::vector<std::u16string> items;
  for (const std::string& item : combo.Lines()) items.push_back(Utf16(item));
  const bool switched_off = window_.Get(fmMain::miSwitchOff).Checked();
  TypingResult result = TypingAid(state, static_cast<char16_t>(key), items, switched_off);
  if (!result.swallow) return false;
  if (result.drop_down != TypingResult::DropDown::Keep) combo.SetDroppedDown(result.drop_down == TypingResult::DropDown::Open);
  // Opening the list may pick an item into the line; the typed text is put back after it.
  const std::wstring line(result.text.begin(), result.text.end());
  SetWindowTextW(Combo(), line.c_str());
  const int caret = static_cast<int>(result.caret);
  combo.SetSelection({caret, caret});
  Changed();
  return true;
}

}  // namespace qp

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

void RequestLine::Attach() {
  SendMessageW(Combo(), CB_LIMITTEXT, kRequestLineLimit, 0);
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
    const LRESULT picked = SendMessageW(Combo(), CB_GETCURSEL, 0, 0);
    if (picked == CB_ERR) return;
    std::wstring item(static_cast<std::size_t>(SendMessageW(Combo(), CB_GETLBTEXTLEN, picked, 0)) + 1, L'\0');
    item.resize(static_cast<std::size_t>(SendMessageW(Combo(), CB_GETLBTEXT, picked, reinterpret_cast<LPARAM>(item.data()))));
    ChangedTo(ui::Narrow(item));
  }
}

void RequestLine::Encode() { SetText(UrlEncode(Text(), SystemCodec())); }

void RequestLine::Decode() { SetText(UrlDecode(Text(), SystemCodec())); }

void RequestLine::SetItems(const std::vector<std::string>& items) {
  // The list changes under the typed text, which stays.
  const std::string line = Text();
  SendMessageW(Combo(), CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) SendMessageW(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::Widen(item).c_str()));
  ui::SetText(Combo(), line);
}

void RequestLine::LoadHistory() {
  for (const std::string& entry : LoadInputHistory()) {
    SendMessageW(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::Widen(entry).c_str()));
  }
}

void RequestLine::AddToHistory(const std::string& text) {
  std::vector<std::string> entries = window_.Get(fmMain::cbComboBox).Lines();
  if (AddToInputHistory(entries, text)) SetItems(entries);
}

void RequestLine::ClearHistory() { SetItems({}); }  // "recent.cfg" follows at the next close

bool RequestLine::SaveHistory() const { return SaveInputHistory(window_.Get(fmMain::cbComboBox).Lines()); }

LRESULT CALLBACK RequestLine::EditProc(HWND edit, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self) {
  auto* line = reinterpret_cast<RequestLine*>(self);
  if (msg == WM_CHAR && line->TypedChar(edit, static_cast<wchar_t>(wparam))) return 0;
  if (msg == WM_CHAR && wparam == VK_RETURN) return 0;  // no beep: Enter sends, on its release
  // Only an Enter pressed here sends: the release of an Enter that chose a menu entry or
  // closed a dialog also arrives here and must not start a letter.
  if (msg == WM_KEYDOWN && wparam == VK_RETURN) line->enter_down_ = true;
  if (msg == WM_KILLFOCUS) line->enter_down_ = false;
  if (msg == WM_KEYUP && wparam == VK_RETURN) {
    const bool pressed_here = std::exchange(line->enter_down_, false);
    if (pressed_here && SendMessageW(line->Combo(), CB_GETDROPPEDSTATE, 0, 0) == 0) {
      line->enter_();
      return 0;
    }
  }
  return DefSubclassProc(edit, msg, wparam, lparam);
}

bool RequestLine::TypedChar(HWND edit, wchar_t key) {
  HWND combo = Combo();
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  TypingState state;
  state.text = Utf16(Text());
  state.selection_start = start;
  state.selection_end = end;
  state.dropped_down = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
  std::vector<std::u16string> items;
  for (const std::string& item : window_.Get(fmMain::cbComboBox).Lines()) items.push_back(Utf16(item));
  const bool switched_off = window_.Get(fmMain::miSwitchOff).Checked();
  TypingResult result = TypingAid(state, static_cast<char16_t>(key), items, switched_off);
  if (!result.swallow) return false;
  if (result.drop_down != TypingResult::DropDown::Keep) {
    SendMessageW(combo, CB_SHOWDROPDOWN, result.drop_down == TypingResult::DropDown::Open, 0);
  }
  // Opening the list may pick an item into the line; the typed text is put back after it.
  const std::wstring line(result.text.begin(), result.text.end());
  SetWindowTextW(combo, line.c_str());
  SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(result.caret, result.caret));
  Changed();
  return true;
}

}  // namespace qp

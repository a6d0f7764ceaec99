// UTF-8 <-> UTF-16 at the Win32 boundary.
#include "ui/text_win.h"

#include <climits>

namespace qp::ui {

std::wstring Widen(std::string_view utf8) {
  const std::u16string wide = Utf16FromUtf8(utf8);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view wide) {
  return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::string GetText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return Narrow(text);
}

void SetText(HWND hwnd, std::string_view utf8) { SetWindowTextW(hwnd, Widen(utf8).c_str()); }

void SetComboItems(HWND combo, const std::vector<std::string>& items) {
  const std::string text = GetText(combo);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  SetText(combo, text);
}

std::string ClipboardText(HWND owner) {
  std::string text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Narrow(std::wstring_view(wide, wcsnlen(wide, GlobalSize(data) / sizeof(wchar_t))));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::string SystemCodePageCodec::Decode(std::string_view bytes) const {
  if (bytes.empty() || bytes.size() > INT_MAX / 2) return {};
  const UINT cp = static_cast<UINT>(code_page_);
  int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return Narrow(wide);
}

std::string SystemCodePageCodec::Encode(std::string_view utf8) const {
  std::wstring wide = Widen(SanitizeUtf8(utf8));
  if (wide.empty()) return {};
  const UINT cp = static_cast<UINT>(code_page_);
  int n = WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

}  // namespace qp::ui

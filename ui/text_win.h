// UTF-8 <-> UTF-16 at the Win32 boundary, and the system code page as a codec.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/text_codec.h"

namespace qp::ui {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// The window's text (or a control's) as UTF-8.
std::string GetText(HWND hwnd);
void SetText(HWND hwnd, std::string_view utf8);
// A combo box's list: exactly these items; the text in its edit stays.
void SetComboItems(HWND combo, const std::vector<std::string>& items);

// The clipboard's text, or "" when another program holds it or it has none.
std::string ClipboardText(HWND owner);

// The system's ANSI code page through the system's own conversion.
class SystemCodePageCodec final : public TextCodec {
 public:
  SystemCodePageCodec() : code_page_(static_cast<int>(GetACP())) {}
  int Number() const override { return code_page_; }
  std::string Decode(std::string_view bytes) const override;
  std::string Encode(std::string_view utf8) const override;

 private:
  int code_page_;
};

}  // namespace qp::ui

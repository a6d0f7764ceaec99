// The main window's request buttons.
#include "app/request_buttons_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <exception>

#include "app/main_form.h"
#include "base/error_log.h"
#include "base/ini_file.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "request/buttons.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr int kButtonCount = 22;  // bb1..bb20 and the search buttons bb21, bb22

// A button glyph with its lower-left pixel's colour as the transparent one, as bitmap
// buttons have always drawn their glyphs.
HIMAGELIST LoadGlyph(const std::string& file) {
  HBITMAP bitmap =
      static_cast<HBITMAP>(LoadImageW(nullptr, ui::Widen(file).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return nullptr;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF transparent = GetPixel(dc, 0, info.bmHeight - 1);
  SelectObject(dc, old);
  DeleteDC(dc);
  HIMAGELIST list = ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0);
  if (list && ImageList_AddMasked(list, bitmap, transparent) < 0) {
    ImageList_Destroy(list);
    list = nullptr;
  }
  DeleteObject(bitmap);
  return list;
}

}  // namespace

void RequestButtons::Load() {
  try {
    const SettingsFile buttons(ProgramFile("Buttons.ini"), SystemCodec());
    for (int n = 1; n <= kRequestButtonCount; ++n) {
      const std::string section = ButtonSection(n);
      const std::string caption = buttons.ReadString(section, "Name", "");
      ui::Component& button = window_.Get(fmMain::Numbered(fmMain::bb, n));
      button.SetCaption(caption);
      button.SetHint(buttons.ReadString(section, "Comment", ""));
      window_.Get(fmMain::Numbered(fmMain::mi, n)).SetCaption(caption);
      window_.Get(fmMain::Numbered(fmMain::miRQ, n)).SetCaption(caption);
    }
  } catch (const std::exception& e) {
    LogError(std::string("Load Buttons Error : ") + e.what());
  }
  // The first missing glyph ends the loading: later buttons keep what they show.
  for (int n = 1; n <= kButtonCount; ++n) {
    HIMAGELIST glyph = LoadGlyph(ProgramFile("icons\\" + std::to_string(n) + ".bmp"));
    if (!glyph) break;
    window_.SetGlyph(fmMain::Numbered(fmMain::bb, n), glyph);
  }
}

void RequestButtons::SetEnabled(bool enabled) {
  for (int n = 1; n <= kButtonCount; ++n) EnableWindow(window_.ControlHwnd(fmMain::Numbered(fmMain::bb, n)), enabled);
}

bool RequestButtons::ContextMenu(HWND control, LPARAM at_screen) {
  for (int n = 1; n <= kButtonCount; ++n) {
    if (control != window_.ControlHwnd(fmMain::Numbered(fmMain::bb, n))) continue;
    POINT at{GET_X_LPARAM(at_screen), GET_Y_LPARAM(at_screen)};
    if (at.x == -1 && at.y == -1) {  // from the keyboard: under the button
      RECT r;
      GetWindowRect(control, &r);
      at = {r.left, r.bottom};
    }
    popup_button_ = n;
    TrackPopupMenu(window_.SubmenuOf(fmMain::PopupMenu3), TPM_RIGHTBUTTON, at.x, at.y, 0, window_.Hwnd(), nullptr);
    return true;
  }
  return false;
}

void RequestButtons::ChooseAutomatic(int n) {
  for (int i = 1; i <= kRequestButtonCount; ++i) window_.Get(fmMain::Numbered(fmMain::mi, i)).SetChecked(i == n);
  automatic_ = n;
}

int RequestButtons::TickedAutomatic() const {
  for (int n = 1; n <= kRequestButtonCount; ++n) {
    if (window_.Get(fmMain::Numbered(fmMain::mi, n)).Checked()) return n;
  }
  return 0;
}

}  // namespace qp

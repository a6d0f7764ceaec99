// The BitButtons of a table-built window (members of Window): push buttons drawn with a glyph left of the caption.
#include "ui/window_win.h"

#include <string>

#include "ui/text_win.h"

namespace qp::ui {
namespace {

constexpr int kGlyphLeft = 3;  // a BitButton's glyph from its left edge

}  // namespace

void Window::SetGlyph(std::string_view name, HIMAGELIST glyph) {
  HWND button = ControlHwnd(name);
  if (!button) {
    if (glyph) ImageList_Destroy(glyph);
    return;
  }
  HIMAGELIST& slot = glyphs_[button];
  if (slot) ImageList_Destroy(slot);
  slot = glyph;
  InvalidateRect(button, nullptr, TRUE);
}

RECT Window::CaptionArea(HWND button, RECT face) const {
  auto glyph = glyphs_.find(button);
  if (glyph == glyphs_.end() || !glyph->second) return face;
  int w = 0, h = 0;
  ImageList_GetIconSize(glyph->second, &w, &h);
  face.left += kGlyphLeft + w + 1;
  face.right -= 2;
  return face;
}

bool Window::CaptionFits(std::string_view name) const {
  HWND button = ControlHwnd(name);
  RECT face{};
  if (!button || !GetClientRect(button, &face)) return false;
  const RECT area = CaptionArea(button, face);
  const std::wstring caption = Widen(GetText(button));
  RECT needed{0, 0, 0, 0};
  HDC dc = GetDC(button);
  HGDIOBJ old = SelectObject(dc, font_);
  DrawTextW(dc, caption.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(button, dc);
  return needed.right <= area.right - area.left;
}

void Window::DrawBitButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED, disabled = item.itemState & ODS_DISABLED;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  if (pushed) OffsetRect(&r, 1, 1);
  auto glyph = glyphs_.find(item.hwndItem);
  if (glyph != glyphs_.end() && glyph->second) {
    int w = 0, h = 0;
    ImageList_GetIconSize(glyph->second, &w, &h);
    const int x = r.left + kGlyphLeft, y = r.top + (r.bottom - r.top - h) / 2;
    if (disabled) {
      HICON icon = ImageList_GetIcon(glyph->second, 0, ILD_NORMAL);
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, w, h, DST_ICON | DSS_DISABLED);
      DestroyIcon(icon);
    } else {
      ImageList_Draw(glyph->second, 0, dc, x, y, ILD_TRANSPARENT);
    }
  }
  RECT text_area = CaptionArea(item.hwndItem, r);
  const std::wstring caption = Widen(GetText(item.hwndItem));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  HGDIOBJ old = SelectObject(dc, font_);
  DrawTextW(dc, caption.c_str(), -1, &text_area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0));
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace qp::ui

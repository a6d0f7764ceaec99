// The popup reports and their windows.
#include "ui/msn_popup_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "ui/message_loop_win.h"
#include "ui/module_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp::ui {

// One report: drawn whole by itself (the border panel's bevel, the gradient, the coloured
// band along the bottom, the title and the text label), timed by its three timers.
class TfrmMSNPopUp final : public Window {
 public:
  TfrmMSNPopUp(TMSNPopUp& component, const PopupPlacement& placement);
  ~TfrmMSNPopUp() override;

  bool Show(HWND owner);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  enum Timer : UINT_PTR { tmrExit = 1, tmrScroll, tmrScrollDown };
  static constexpr int kBevel = 2, kBandHeight = 3;

  void PaintBackground();
  void Paint(HDC dc);
  void LayoutText();
  void Step(const SlideStep& step);
  void tmrScrollTimer();
  void tmrExitTimer();
  void tmrscrollDownTimer();
  void MouseMove(POINT at);
  void lblTextClick();
  void FireOnClick();  // and closes the report
  void CloseReport();  // the window's close handling
  ScreenRect Current() const;

  TMSNPopUp& component_;
  const MSNPopUpProperties props_;
  const PopupPlacement placement_;
  HFONT font_ = nullptr, hover_font_ = nullptr, title_font_ = nullptr;
  HBITMAP background_ = nullptr;  // the gradient with the band, the size of the border panel
  RECT text_{};                   // lblText's bounds
  bool hovering_ = false;
  bool count_on_close_ = true;
  bool closed_ = false;
};

namespace {

FormDef PopupDef(const MSNPopUpProperties& props) {
  return FormDef{.name = "frmMSNPopUp", .title = "", .client_width = props.Width, .client_height = props.Height, .controls = {}};
}

HFONT MakeFont(const PopupFont& font) {
  return CreateFontW(-font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Widen(font.name).c_str());
}

COLORREF Resolved(COLORREF colour) { return colour == kWindowTextColour ? GetSysColor(COLOR_WINDOWTEXT) : colour; }

Rgb ToRgb(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

// The gradient of the report's background, line by line.
void DrawGradient(HDC dc, int width, int height, const MSNPopUpProperties& props) {
  const bool vertical = props.GradientOrientation == TOrientation::mbVertical;
  const int extent = vertical ? height : width;
  for (int position = 0; position <= extent; ++position) {
    const Rgb c = GradientColour(ToRgb(props.GradientColor1), ToRgb(props.GradientColor2), position, extent);
    HBRUSH brush = CreateSolidBrush(RGB(c.red, c.green, c.blue));
    const RECT line = vertical ? RECT{0, position, width, position + 1} : RECT{position, 0, position + 1, height};
    FillRect(dc, &line, brush);
    DeleteObject(brush);
  }
}

UINT AlignmentFlags(TTextAlignment alignment) {
  switch (alignment) {
    case TTextAlignment::taLeftJustify: return DT_LEFT;
    case TTextAlignment::taRightJustify: return DT_RIGHT;
    default: return DT_CENTER;
  }
}

constexpr UINT kTextFlags = DT_WORDBREAK | DT_NOPREFIX;

}  // namespace

TfrmMSNPopUp::TfrmMSNPopUp(TMSNPopUp& component, const PopupPlacement& placement)
    : Window(PopupDef(component)), component_(component), props_(component), placement_(placement) {
  font_ = MakeFont(props_.Font);
  hover_font_ = MakeFont(props_.HoverFont);
  title_font_ = MakeFont(props_.TitleFont);
}

TfrmMSNPopUp::~TfrmMSNPopUp() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(hover_font_), static_cast<HGDIOBJ>(title_font_),
                         static_cast<HGDIOBJ>(background_)}) {
    if (object) DeleteObject(object);
  }
}

bool TfrmMSNPopUp::Show(HWND owner) {
  // No caption and no taskbar button; it never takes the focus from where the user types.
  const ScreenRect& full = placement_.window;
  if (!Create(owner, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, full.left, full.top)) return false;
  SetClassLongPtrW(Hwnd(), GCL_STYLE, GetClassLongPtrW(Hwnd(), GCL_STYLE) | CS_DROPSHADOW);
  PaintBackground();
  LayoutText();
  const bool slides = PopupSlidesIn(placement_.edge, (props_.Options & msnAllowScroll) != 0);
  const ScreenRect first = slides ? CollapsedPopup(placement_.edge, full) : full;
  SetTimer(Hwnd(), slides ? tmrScroll : tmrExit, slides ? kPopupStepMs : std::max(props_.TimeOut, 0) * 1000, nullptr);
  SetWindowPos(Hwnd(), HWND_TOPMOST, first.left, first.top, first.Width(), first.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return true;
}

// The border panel keeps its full size while the window slides: the window shows part of it.
void TfrmMSNPopUp::PaintBackground() {
  const int width = props_.Width - 2 * kBevel, height = props_.Height - 2 * kBevel;
  HDC screen = GetDC(Hwnd());
  HDC dc = CreateCompatibleDC(screen);
  background_ = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
  HGDIOBJ old = SelectObject(dc, background_);
  DrawGradient(dc, width, height, props_);
  // The coloured band along the bottom; without it the gradient alone shows.
  if (HANDLE band = LoadImageW(GetModuleHandleW(nullptr), L"MSN", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) {
    HDC band_dc = CreateCompatibleDC(screen);
    HGDIOBJ old_band = SelectObject(band_dc, band);
    BITMAP info{};
    GetObjectW(band, sizeof info, &info);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, height - kBandHeight, width, kBandHeight, band_dc, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(band_dc, old_band);
    DeleteDC(band_dc);
    DeleteObject(band);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(Hwnd(), screen);
}

// The text label: 15 pixels narrower than the panel, as high as its word wrap, centred.
void TfrmMSNPopUp::LayoutText() {
  HDC dc = GetDC(Hwnd());
  HGDIOBJ old = SelectObject(dc, hovering_ ? hover_font_ : font_);
  const std::wstring text = Widen(props_.Text);
  RECT measure{0, 0, std::max(props_.Width - 15, 0), 0};
  DrawTextW(dc, text.c_str(), -1, &measure, kTextFlags | DT_CALCRECT | AlignmentFlags(props_.TextAlignment));
  SelectObject(dc, old);
  ReleaseDC(Hwnd(), dc);
  const ScreenRect place = PopupTextBounds(props_.Width, props_.Height, measure.bottom);
  text_ = {place.left, place.top, place.right, place.bottom};
  InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TfrmMSNPopUp::Paint(HDC dc) {
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, background_);
  BitBlt(dc, kBevel, kBevel, props_.Width - 2 * kBevel, props_.Height - 2 * kBevel, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  // The panel's lowered outer bevel, two pixels wide.
  RECT bevel{0, 0, props_.Width, props_.Height};
  for (int i = 0; i < kBevel; ++i) {
    DrawEdge(dc, &bevel, BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&bevel, -1, -1);
  }
  SetBkMode(dc, TRANSPARENT);
  // Without an icon the title stands at the left.
  HGDIOBJ old_font = SelectObject(dc, title_font_);
  SetTextColor(dc, Resolved(props_.TitleFont.colour));
  const std::wstring title = Widen(props_.Title);
  TextOutW(dc, 8, 8, title.c_str(), static_cast<int>(title.size()));
  SelectObject(dc, hovering_ ? hover_font_ : font_);
  SetTextColor(dc, Resolved(hovering_ ? props_.HoverFont.colour : props_.Font.colour));
  RECT text = text_;
  DrawTextW(dc, Widen(props_.Text).c_str(), -1, &text, kTextFlags | AlignmentFlags(props_.TextAlignment));
  SelectObject(dc, old_font);
}

ScreenRect TfrmMSNPopUp::Current() const {
  RECT r{};
  GetWindowRect(Hwnd(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void TfrmMSNPopUp::Step(const SlideStep& step) {
  const ScreenRect& w = step.window;
  SetWindowPos(Hwnd(), nullptr, w.left, w.top, w.Width(), w.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMSNPopUp::tmrScrollTimer() {
  const SlideStep step = SlideIn(placement_.edge, Current(), placement_.window, props_.ScrollSpeed);
  Step(step);
  if (!step.done) return;
  KillTimer(Hwnd(), tmrScroll);
  SetTimer(Hwnd(), tmrExit, std::max(props_.TimeOut, 0) * 1000, nullptr);
}

// The slide out comes whether or not the report slid in.
void TfrmMSNPopUp::tmrExitTimer() {
  KillTimer(Hwnd(), tmrExit);
  SetTimer(Hwnd(), tmrScrollDown, kPopupStepMs, nullptr);
}

void TfrmMSNPopUp::tmrscrollDownTimer() {
  const SlideStep step = SlideOut(placement_.edge, Current(), props_.ScrollSpeed);
  if (step.done) {
    KillTimer(Hwnd(), tmrScrollDown);
    CloseReport();
  } else {
    Step(step);
  }
}

// With links allowed the text shows as a link while the pointer is over it.
void TfrmMSNPopUp::MouseMove(POINT at) {
  if (!(props_.Options & msnAllowHyperlink)) return;
  const bool over = PtInRect(&text_, at) != FALSE;
  if (over == hovering_) return;
  hovering_ = over;
  if (over) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Hwnd(), 0};
    TrackMouseEvent(&track);
  }
  LayoutText();
}

void TfrmMSNPopUp::lblTextClick() {
  count_on_close_ = false;
  if (props_.Options & msnAllowHyperlink) {
    if (component_.OnURLClick) component_.OnURLClick(props_.URL);
    if (props_.Options & msnAutoOpenURL) ShellOpen(props_.URL);
  } else if (component_.OnClick) {
    component_.OnClick();
  }
  count_on_close_ = true;
  CloseReport();
}

void TfrmMSNPopUp::FireOnClick() {
  if (component_.OnClick) {
    count_on_close_ = false;
    component_.OnClick();
    count_on_close_ = true;
  }
  CloseReport();
}

// Asked to close from inside one of its own clicks, the report only hides: the click
// closes it for good once its event has run.
void TfrmMSNPopUp::CloseReport() {
  if (closed_ || !Hwnd()) return;
  if (!count_on_close_) {
    ShowWindow(Hwnd(), SW_HIDE);
    return;
  }
  closed_ = true;
  component_.Closed();
  DestroyWindow(Hwnd());
}

LRESULT TfrmMSNPopUp::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Hwnd(), &ps);
      Paint(dc);
      EndPaint(Hwnd(), &ps);
      return 0;
    }
    case WM_TIMER:
      if (wparam == tmrScroll) tmrScrollTimer();
      if (wparam == tmrExit) tmrExitTimer();
      if (wparam == tmrScrollDown) tmrscrollDownTimer();
      return 0;
    case WM_MOUSEMOVE: MouseMove(at); return 0;
    case WM_MOUSELEAVE:
      if (hovering_) hovering_ = false, LayoutText();
      return 0;
    case WM_LBUTTONUP:
      if (PtInRect(&text_, at)) {
        lblTextClick();
      } else {
        FireOnClick();
      }
      return 0;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: FireOnClick(); return 0;
    case WM_CLOSE: CloseReport(); return 0;
    default: break;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

TMSNPopUp::TMSNPopUp(HWND owner) : owner_(owner) {}

TMSNPopUp::~TMSNPopUp() = default;

bool TMSNPopUp::ShowPopUp() {
  FreeClosed();
  const PopupGeometry geometry{.width = Width,
                               .height = Height,
                               .start_x = PopupStartX,
                               .start_y = PopupStartY,
                               .marge = PopupMarge,
                               .cascade = (Options & msnCascadePopups) != 0};
  const std::optional<PopupPlacement> placement = stack_.Open(TaskbarPosition(), WorkArea(), geometry);
  if (!placement) return false;
  auto window = std::make_unique<TfrmMSNPopUp>(*this, *placement);
  if (!window->Show(owner_)) {
    stack_.Closed();
    return false;
  }
  windows_.push_back(std::move(window));
  return true;
}

// Each of this component's own reports, letting pending messages run between them.
void TMSNPopUp::ClosePopUps() {
  for (HWND window : OpenWindows()) {
    if (IsWindow(window)) SendMessageW(window, WM_CLOSE, 0, 0);
    PumpMessages();
  }
}

std::vector<HWND> TMSNPopUp::OpenWindows() const {
  std::vector<HWND> open;
  for (const auto& window : windows_) {
    if (window->Hwnd() && IsWindowVisible(window->Hwnd())) open.push_back(window->Hwnd());
  }
  return open;
}

void TMSNPopUp::Closed() { stack_.Closed(); }

// Windows that have gone are freed at the next report, never inside their own messages.
void TMSNPopUp::FreeClosed() {
  std::erase_if(windows_, [](const auto& window) { return window->Hwnd() == nullptr; });
}

TaskbarEdge TaskbarPosition() {
  APPBARDATA bar{sizeof bar};
  if (!SHAppBarMessage(ABM_GETTASKBARPOS, &bar)) return TaskbarEdge::Unknown;
  MONITORINFO monitor{sizeof monitor};
  GetMonitorInfoW(MonitorFromRect(&bar.rc, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& s = monitor.rcMonitor;
  return TaskbarEdgeOf({bar.rc.left, bar.rc.top, bar.rc.right, bar.rc.bottom}, {s.left, s.top, s.right, s.bottom});
}

}  // namespace qp::ui

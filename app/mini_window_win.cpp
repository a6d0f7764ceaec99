// The mini request window.
#include "app/mini_window_win.h"

#include "lang/language.h"
#include "ui/edge_snap.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr char kLine[] = "cbComboBox";

ui::FormDef MiniDef() {
  using ui::Kind;
  return ui::FormDef{
      .name = "fmMiniQPT",
      .title = "Quillpost",
      .client_width = 615,
      .client_height = 31,
      .controls = {
          {.name = "bbGetURL", .kind = Kind::Button, .caption = "@", .hint = "Вставить URL из броузера", .bounds = {3, 3, 26, 25}},
          {.name = "bbPaste", .kind = Kind::Button, .caption = "<", .hint = "Вставить URL из буфера обмена", .bounds = {31, 3, 26, 25}},
          {.name = kLine, .kind = Kind::ComboBox, .hint = "Строка запроса", .bounds = {60, 4, 459, 23}},
          {.name = "bbStart", .kind = Kind::Button, .caption = ">>", .hint = "Выполнить запрос", .bounds = {522, 3, 62, 25}},
          {.name = "bbExit", .kind = Kind::Button, .caption = "X", .hint = "Выход в полный режим", .bounds = {587, 3, 26, 25}},
      }};
}

}  // namespace

TfmMiniQPT::TfmMiniQPT(Parts parts) : Window(MiniDef()), parts_(std::move(parts)) {
  Commands()
      .On("bbGetURL", [this] { bbGetURLClick(); })
      .On("bbPaste", [this] { SetRequestLine(ui::ClipboardText(Hwnd())); })
      .On("bbStart", [this] { bbStartClick(); })
      .On("bbExit", [this] { CloseMini(); })
      .OnNotify(kLine, [this](int code) {
        // The whole address shows as the line's hint.
        if (code == CBN_EDITCHANGE) Get(kLine).SetHint(RequestLine());
      });
}

void TfmMiniQPT::ShowMini(HWND owner, const std::optional<std::string>& start_caption, std::optional<int> opacity) {
  if (!Hwnd() && !Create(owner, WS_POPUP | WS_CAPTION, WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, 0, 0)) return;
  RECT frame{};
  GetWindowRect(Hwnd(), &frame);
  const ui::ScreenRect place = ui::BottomRightOf(ui::WorkArea(), frame.right - frame.left, frame.bottom - frame.top);
  SetWindowPos(Hwnd(), HWND_TOPMOST, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  if (start_caption) Get("bbStart").SetCaption(*start_caption);
  ui::SetWindowOpacity(Hwnd(), opacity);
  ShowWindow(Hwnd(), SW_SHOW);
  FocusRequestLine();
}

void TfmMiniQPT::CloseMini() {
  if (Hwnd()) ShowWindow(Hwnd(), SW_HIDE);
  parts_.show_main();
}

void TfmMiniQPT::SetRequestLine(const std::string& text) {
  if (!Hwnd()) return;
  ui::SetText(ControlHwnd(kLine), text);
  Get(kLine).SetHint(text);
}

std::string TfmMiniQPT::RequestLine() const { return Hwnd() ? ui::GetText(ControlHwnd(kLine)) : std::string(); }

void TfmMiniQPT::SetSendEnabled(bool enabled) {
  if (Hwnd()) EnableWindow(ControlHwnd("bbStart"), enabled);
}

void TfmMiniQPT::FocusRequestLine() {
  ui::ForceForegroundWindow(Hwnd());
  SetFocus(ControlHwnd(kLine));
}

void TfmMiniQPT::OnShow() { TranslateToCurrentLanguage(*this); }

// The main window stays hidden: the letter goes out with the automatic-mode button.
void TfmMiniQPT::bbStartClick() {
  const std::string line = RequestLine();
  if (line.empty()) return;
  parts_.set_request_line(line);
  parts_.press_automatic();
}

// Into this line only: the request lists are not touched.
void TfmMiniQPT::bbGetURLClick() {
  if (const std::optional<std::string> address = parts_.grab_browser()) SetRequestLine(*address);
}

void TfmMiniQPT::Activated() {
  const std::string line = RequestLine();
  Get(kLine).SetItems(parts_.history());
  ui::SetText(ControlHwnd(kLine), line);
  parts_.hide_taskbar_entry();
}

bool TfmMiniQPT::OnKeyPreview(const MSG& msg) {
  if (msg.wParam != VK_RETURN || !IsChild(ControlHwnd(kLine), msg.hwnd)) return false;
  if (msg.message == WM_KEYUP) bbStartClick();  // sent as the key is let go, as in the main window
  return msg.message == WM_KEYUP || msg.message == WM_KEYDOWN || msg.message == WM_CHAR;
}

// The sticky edges of the main window's switch, nearer: 10 pixels.
void TfmMiniQPT::Dock(WINDOWPOS& pos) {
  if (parts_.sticky()) ui::SnapWindowPos(Hwnd(), pos, ui::kMiniWindowSnap, snapped_);
}

LRESULT TfmMiniQPT::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CLOSE: CloseMini(); return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) Activated();
      break;
    case WM_WINDOWPOSCHANGING: Dock(*reinterpret_cast<WINDOWPOS*>(lparam)); break;
    default: break;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp

// The main window's life: creation, activation, closing, and the state it saves.
#include "app/main_window_win.h"

#include <commctrl.h>
#include <windowsx.h>
#include <wininet.h>

#include <exception>
#include <utility>
#include <stdexcept>

#include "app/error_log.h"
#include "capture/clipboard_scan.h"
#include "capture/proxy_request.h"
#include "app/file_io.h"
#include "app/main_form.h"
#include "app/status_line.h"
#include "app/working_folder.h"
#include "lang/language.h"
#include "organize/history.h"
#include "request/buttons.h"
#include "request/typing_aid.h"
#include "ui/input_box_win.h"
#include "ui/text_win.h"

namespace qp {

bool ForceForegroundWindow(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  HWND foreground = GetForegroundWindow();
  if (foreground == window) return true;
  // Windows keeps other programs from stealing the foreground; joining the foreground
  // thread's input, or lifting the lock time-out for a moment, lets the window come forward.
  const DWORD theirs = GetWindowThreadProcessId(foreground, nullptr), ours = GetWindowThreadProcessId(window, nullptr);
  bool in_front = false;
  if (theirs && AttachThreadInput(ours, theirs, TRUE)) {
    BringWindowToTop(window);
    SetForegroundWindow(window);
    AttachThreadInput(ours, theirs, FALSE);
    in_front = GetForegroundWindow() == window;
  }
  if (!in_front) {
    DWORD timeout = 0;
    SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)), SPIF_SENDCHANGE);
  }
  return GetForegroundWindow() == window;
}

std::filesystem::path ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path();
}

namespace {

constexpr UINT kProxyEvent = WM_APP + 10;    // the proxy socket's events
constexpr UINT kCaptureQueued = WM_APP + 11;  // a captured address waits for the intake
constexpr UINT_PTR kProxyTimer = 1;
constexpr UINT_PTR kIntakeTimer = 2;        // captured addresses waiting for a letter to go out

constexpr int kButtonCount = 22;  // bb1..bb20 and the search buttons bb21, bb22
constexpr int kRequestLineLimit = 1024;

// The number N of a component named prefix + N, or 0.
int NumberAfter(const std::string& name, std::string_view prefix) {
  if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 2) return 0;
  int n = 0;
  for (char ch : std::string_view(name).substr(prefix.size())) {
    if (ch < '0' || ch > '9') return 0;
    n = n * 10 + (ch - '0');
  }
  return n;
}

// A button glyph with its lower-left pixel's colour as the transparent one, as bitmap
// buttons have always drawn their glyphs.
HIMAGELIST LoadGlyph(const std::filesystem::path& file) {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
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

void ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the main loop must still see it
      return;
    }
    if (!ui::Window::PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

TfmMain::TfmMain(std::filesystem::path folder, std::string argument)
    : Window(MainFormDef()), folder_(std::move(folder)), argument_(std::move(argument)), connector_([this] {
        ProcessMessages();
        return !(dispatcher_ && dispatcher_->CancelRequested());
      }) {}

TfmMain::~TfmMain() {
  if (underlined_) DeleteObject(underlined_);
}

void TfmMain::OnCreate() {
  SetStatusSink([this](std::string_view text) {
    if (ui::Component* status = Find("StatusBar")) status->SetCaption(text);
    ProcessMessages();
  });
  LOGFONTW font{};
  GetObjectW(Font(), sizeof font, &font);
  font.lfUnderline = TRUE;
  underlined_ = CreateFontIndirectW(&font);
  SendMessageW(ControlHwnd("lbMailBox"), WM_SETFONT, reinterpret_cast<WPARAM>(underlined_), FALSE);
  HWND combo = ControlHwnd("cbComboBox");
  SendMessageW(combo, CB_LIMITTEXT, kRequestLineLimit, 0);
  COMBOBOXINFO info{sizeof info};
  if (GetComboBoxInfo(combo, &info) && info.hwndItem) SetWindowSubclass(info.hwndItem, RequestLineProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetMenuDefaultItem(SubmenuOf("PopupMenu3"), GetMenuItemID(SubmenuOf("PopupMenu3"), 2), FALSE);
  SendMessageW(ControlHwnd("ProgressBar1"), PBM_SETRANGE32, 0, 50);
  SendMessageW(ControlHwnd("ProgressBar1"), PBM_SETSTEP, 5, 0);
  SetWindowPos(ControlHwnd("ProgressBar1"), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(ControlHwnd("btCsend"), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  FormCreate();
  request_list2_ = std::make_unique<TfmRequestList2>([this](const std::string& text) { SetRequestLine(text); }, settings_);
  request_list2_->CreateHidden(Hwnd());
  proxy_ = std::make_unique<ProxyServer>(Hwnd(), kProxyEvent);
  SetTimer(Hwnd(), kProxyTimer, 1000, nullptr);
  DispatchHost& host = *this;
  dispatcher_ = std::make_unique<Dispatcher>(host, settings_, ProgramFile("Buttons.ini"), counter_);
}

void TfmMain::FormCreate() {
  clipboard_ready_ = false;
  try {
    SetWorkingFolder(folder_);
    SetCurrentDirectoryW(folder_.c_str());
    help_file_ = ProgramFile("quillpost.hlp");
    const std::filesystem::path recent = ProgramFile("recent.cfg");
    if (!std::filesystem::exists(recent)) AppendToFile(recent, "");
    ui::SetText(ControlHwnd("cbComboBox"), argument_);
    settings_ = SettingsFile(ProgramFile("settings.ini"), SystemCodec());
    state_ = ReadSavedState(settings_);
    SetWindowPos(Hwnd(), nullptr, state_.left, state_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ++state_.starts;
    SetCurrentLanguage(state_.language, OpenLanguageFile(state_.language));
    HWND combo = ControlHwnd("cbComboBox");
    for (const std::string& entry : LoadInputHistory()) {
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::Widen(entry).c_str()));
    }
  } catch (const std::exception& e) {
    LogError(std::string("MainFormCreate Error : ") + e.what());
  }
  // The first-run wizard and the link watcher join here when they exist.
  SetLastError(0);
  next_viewer_ = SetClipboardViewer(Hwnd());
  if (!next_viewer_ && GetLastError() != 0) {
    LogError("Error : " + std::to_string(GetLastError()));
  } else {
    in_clipboard_chain_ = true;
  }
}

void TfmMain::OnShow() {
  if (const IniFile* file = CurrentLanguageFile()) TranslateWindow(*this, *file);
  TickLanguageItem();
}

bool TfmMain::OnKeyPreview(const MSG& msg) {
  // Escape anywhere in the window cancels the sending in progress.
  if (msg.wParam == VK_ESCAPE && dispatcher_ && dispatcher_->Running()) {
    dispatcher_->Cancel();
    return true;
  }
  return false;
}

void TfmMain::TickLanguageItem() {
  for (int n = 0; n < kLanguageCount; ++n) {
    if (ui::Component* item = Find(kLanguageItems[n])) item->SetChecked(n == CurrentLanguageNumber());
  }
}

void TfmMain::FormActivate() {
  // A box shown from these steps (proxy restore, a failed profile) re-activates the window
  // when it closes; the steps must not start again inside themselves.
  if (activating_) return;
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(activating_);
  try {
    if (!first_activation_done_) {
      close_to_tray_ = settings_.ReadBool("Settings", "Close2Tray", false);
      RestoreMenuTicks(*this, state_);
      if (state_.monitor) miMonitorClipboardClick();
      if (state_.request_list2) Find("miRequestList2")->SetChecked(true);  // the tray twin
      saved_browser_proxy_ = ReadBrowserProxy();
      if (settings_.ValueExists("Settings", "Proxy") && settings_.ReadBool("Settings", "Proxy", false)) ProxyOn(false);
      auto_button_ = state_.auto_button;
      first_activation_done_ = true;
    }
    LoadRequestButtons();
    LoadStartupProfile(settings_, profile_);
    ShowStatus("");
    SetFocus(ControlHwnd("cbComboBox"));
    clipboard_ready_ = true;
    ShowStatus(kAuthorCredit);
    if (auto_button_ >= 1 && auto_button_ <= kRequestButtonCount) AutomaticButtonClick(auto_button_);
    RefreshMailboxMenus();
    int active = settings_.ReadInteger("Emails", "Active", 1);
    if (active < 0 || active > 255) throw std::out_of_range("Active " + std::to_string(active) + " is out of range");
    // A hand-edited number that names no profile falls back to the first one.
    SelectMailbox(IsProfileNumber(active) ? active : 1);
    search_request_.clear();
  } catch (const std::exception& e) {
    LogError(std::string("MainFormActivate Error : ") + e.what());
  }
}

void TfmMain::LoadRequestButtons() {
  try {
    ApplyButtonCaptions(*this, SettingsFile(ProgramFile("Buttons.ini"), SystemCodec()));
  } catch (const std::exception& e) {
    LogError(std::string("Load Buttons Error : ") + e.what());
  }
  // The first missing glyph ends the loading: later buttons keep what they show.
  for (int n = 1; n <= kButtonCount; ++n) {
    HIMAGELIST glyph = LoadGlyph(ProgramFile("icons\\" + std::to_string(n) + ".bmp"));
    if (!glyph) break;
    SetGlyph("bb" + std::to_string(n), glyph);
  }
}

void TfmMain::SetRequestButtonsEnabled(bool enabled) {
  for (int n = 1; n <= kButtonCount; ++n) EnableWindow(ControlHwnd("bb" + std::to_string(n)), enabled);
}

void TfmMain::RefreshMailboxMenus() { qp::RefreshMailboxMenus(*this, settings_); }

void TfmMain::SelectMailbox(int n) {
  settings_.WriteInteger("Emails", "Active", n);
  if (!settings_.UpdateFile()) throw std::runtime_error("Cannot write " + PathToUtf8(settings_.Path()));
  for (int label = 1; label <= 3; ++label) {
    SendMessageW(ControlHwnd("lb" + std::to_string(label)), WM_SETFONT,
                 reinterpret_cast<WPARAM>(label == n ? underlined_ : Font()), TRUE);
  }
  CheckMailboxEntries(*this, n);
  LoadProfile(settings_, n, profile_);
}

void TfmMain::MailboxClick(int n) {
  try {
    SelectMailbox(n);
  } catch (const std::exception& e) {
    Box(e.what(), MB_ICONERROR | MB_OK);
  }
}

void TfmMain::AutomaticButtonClick(int n) {
  for (int i = 1; i <= kRequestButtonCount; ++i) {
    if (ui::Component* item = Find("mi" + std::to_string(i))) item->SetChecked(i == n);
  }
  auto_button_ = n;
}

int TfmMain::Box(const std::string& text, UINT flags) {
  return MessageBoxW(Hwnd(), ui::Widen(text).c_str(), L"Quillpost", flags);
}

void TfmMain::StartDispatch(int number, bool help_request) {
  try {
    dispatcher_->DispatchRequest(number, help_request);
  } catch (const std::exception& e) {
    // The run has ended; its buttons and profile are back. Tell the user what stopped it.
    Box(e.what(), MB_ICONERROR | MB_OK);
  }
}

void TfmMain::miMonitorClipboardClick() {
  const bool on = !Find("miMonitorClipboard")->Checked();
  Find("miMonitorClipboard")->SetChecked(on);
  Find("miMonitorclipboard2")->SetChecked(on);
}

void TfmMain::ClipboardChanged() {
  try {
    if (!clipboard_ready_ || !Switch("miMonitorClipboard") || !IsClipboardFormatAvailable(CF_TEXT)) return;
    std::string text;
    if (!OpenClipboard(Hwnd())) return;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
        text = ui::Narrow(std::wstring_view(wide, wcsnlen(wide, GlobalSize(data) / sizeof(wchar_t))));
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    std::optional<std::string> address =
        ScanClipboardText(std::move(text), last_captured_, RequestLine(), Switch("miAutoDecodeUrl"), SystemCodec());
    if (!address) return;
    QueueCapture(*address);
    last_captured_ = *address;
  } catch (const std::exception& e) {
    LogError(std::string("Error : ") + e.what());
  }
}

void TfmMain::AppendToList1(const std::string& line) {
  HWND memo = ControlHwnd("JvmmList");
  std::string all = ui::GetText(memo);
  if (!all.empty() && !all.ends_with("\r\n")) all += "\r\n";
  ui::SetText(memo, all + line + "\r\n");
}

void TfmMain::AcceptCapturedUrl(const std::string& text) {
  SetRequestLine(text);
  if (Switch("miAddCliptoList")) {
    AppendToList1(RequestLine());
    request_list2_->Append(RequestLine());
  }
  if (!Switch("miAutoON")) {
    if (!IsWindowVisible(Hwnd())) ShowWindow(Hwnd(), SW_SHOW);
    ForceForegroundWindow(Hwnd());
    return;
  }
  PressAutomaticButton();
}

void TfmMain::QueueCapture(const std::string& address) {
  captured_.push_back(address);
  PostMessageW(Hwnd(), kCaptureQueued, 0, 0);
}

void TfmMain::TakeCapturedAddress() {
  if (captured_.empty()) return;
  // In automatic mode every captured address becomes a letter: one that arrives while a
  // letter is going out waits for it instead of being dropped.
  if (Switch("miAutoON") && dispatcher_->Running()) {
    SetTimer(Hwnd(), kIntakeTimer, 100, nullptr);
    return;
  }
  const std::string address = std::move(captured_.front());
  captured_.pop_front();
  AcceptCapturedUrl(address);
}

void TfmMain::PressAutomaticButton() {
  for (int n = 1; n <= kRequestButtonCount; ++n) {
    ui::Component* item = Find("mi" + std::to_string(n));
    if (item && item->Checked()) return StartDispatch(n);
  }
}

void TfmMain::AddInputHistory(const std::string& text) {
  std::vector<std::string> entries = Find("cbComboBox")->Lines();
  if (!qp::AddToInputHistory(entries, text)) return;
  HWND combo = ControlHwnd("cbComboBox");
  const std::string line = ui::GetText(combo);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::Widen(entry).c_str()));
  ui::SetText(combo, line);
}

std::string TfmMain::RequestLine() { return ui::GetText(ControlHwnd("cbComboBox")); }

void TfmMain::SetProgress(int position) { SendMessageW(ControlHwnd("ProgressBar1"), PBM_SETPOS, position, 0); }

void TfmMain::StepProgress() {
  HWND bar = ControlHwnd("ProgressBar1");
  // Past the end the bar starts again from nothing.
  if (SendMessageW(bar, PBM_GETPOS, 0, 0) >= 50) SendMessageW(bar, PBM_SETPOS, 0, 0);
  SendMessageW(bar, PBM_STEPIT, 0, 0);
}

void TfmMain::Status(const std::string& text) { ShowStatus(text); }

void TfmMain::ErrorBox(const std::string& text) { Box(text, MB_ICONERROR | MB_OK); }

int TfmMain::CheckedMailbox() { return qp::CheckedMailbox(*this); }

bool TfmMain::Switch(const std::string& menu_item) {
  const ui::Component* item = Find(menu_item);
  return item && item->Checked();
}

std::vector<std::string> TfmMain::RequestList(int which) {
  if (which == 1) return Find("JvmmList")->Lines();
  return request_list2_ && request_list2_->Hwnd() ? request_list2_->Entries() : std::vector<std::string>{};
}

bool TfmMain::Dial() { return InternetAutodial(INTERNET_AUTODIAL_FORCE_UNATTENDED, nullptr) != FALSE; }

void TfmMain::HangUp() { InternetAutodialHangup(0); }

void TfmMain::Pause50ms() {
  Sleep(50);
  ProcessMessages();
}

std::string TfmMain::MailDate() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : kind == TIME_ZONE_ID_STANDARD ? zone.StandardBias : 0);
  return FormatMailDate(std::time(nullptr), -static_cast<int>(bias));
}

void TfmMain::miRequestHistoryClick() {
  if (!history_window_) {
    history_window_ = std::make_unique<TfmHistory>(Hwnd(), [this](const std::string& request) { SetRequestLine(request); });
  }
  history_window_->ShowWindow();
}

void TfmMain::ClearHistoryClick(bool input_history) {
  const std::string question = input_history ? LookupMessage("Удалить историю ввода запросов?", "textQuestion5")
                                             : LookupMessage("Удалить историю запросов?", "textQuestion6");
  if (Box(question, MB_ICONQUESTION | MB_YESNO) != IDYES) return;
  if (!input_history) {
    ClearHistory();
    return;
  }
  HWND combo = ControlHwnd("cbComboBox");
  const std::string line = ui::GetText(combo);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);  // "recent.cfg" follows at the next close
  ui::SetText(combo, line);
}

void TfmMain::miCounterSetClick() {
  std::string text = std::to_string(counter_.start);
  if (ui::InputQuery(Hwnd(), "Set counter", "Counter value (number)", text)) counter_.Set(text);
}

void TfmMain::SetRequestLine(const std::string& text) {
  ui::SetText(ControlHwnd("cbComboBox"), text);
  RequestLineChanged();
}

void TfmMain::RequestLineChanged() {
  if (ui::Component* status = Find("StatusBar")) status->SetCaption("");
  Find("cbComboBox")->SetHint(ui::GetText(ControlHwnd("cbComboBox")));
}

LRESULT CALLBACK TfmMain::RequestLineProc(HWND edit, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self) {
  auto* window = reinterpret_cast<TfmMain*>(self);
  if (msg == WM_CHAR && window->RequestLineChar(edit, static_cast<wchar_t>(wparam))) return 0;
  if (msg == WM_CHAR && wparam == VK_RETURN) return 0;  // no beep: Enter sends, on its release
  // Only an Enter pressed here sends: the release of an Enter that chose a menu entry or
  // closed a dialog also arrives here and must not start a letter.
  if (msg == WM_KEYDOWN && wparam == VK_RETURN) window->enter_down_ = true;
  if (msg == WM_KILLFOCUS) window->enter_down_ = false;
  if (msg == WM_KEYUP && wparam == VK_RETURN) {
    const bool pressed_here = std::exchange(window->enter_down_, false);
    if (pressed_here && SendMessageW(window->ControlHwnd("cbComboBox"), CB_GETDROPPEDSTATE, 0, 0) == 0) {
      window->PressAutomaticButton();
      return 0;
    }
  }
  return DefSubclassProc(edit, msg, wparam, lparam);
}

bool TfmMain::RequestLineChar(HWND edit, wchar_t key) {
  HWND combo = ControlHwnd("cbComboBox");
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  TypingState state;
  const std::wstring text = ui::Widen(ui::GetText(combo));
  state.text.assign(text.begin(), text.end());
  state.selection_start = start;
  state.selection_end = end;
  state.dropped_down = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
  std::vector<std::u16string> items;
  for (const std::string& item : Find("cbComboBox")->Lines()) {
    const std::wstring wide = ui::Widen(item);
    items.emplace_back(wide.begin(), wide.end());
  }
  const ui::Component* switch_off = Find("miSwitchOff");
  TypingResult result = TypingAid(state, static_cast<char16_t>(key), items, switch_off && switch_off->Checked());
  if (!result.swallow) return false;
  if (result.drop_down != TypingResult::DropDown::Keep) {
    SendMessageW(combo, CB_SHOWDROPDOWN, result.drop_down == TypingResult::DropDown::Open, 0);
  }
  // Opening the list may pick an item into the line; the typed text is put back after it.
  const std::wstring line(result.text.begin(), result.text.end());
  SetWindowTextW(combo, line.c_str());
  SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(result.caret, result.caret));
  RequestLineChanged();
  return true;
}

bool TfmMain::HandleSetCursor(HWND control) {
  for (int n = 1; n <= 3; ++n) {
    if (control == ControlHwnd("lb" + std::to_string(n))) {
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return true;
    }
  }
  // Hovering the mailbox label shows the active profile's address.
  if (control == ControlHwnd("lbMailBox")) Find("lbMailBox")->SetHint(profile_.email);
  return false;
}

bool TfmMain::FormClose() {
  if (close_to_tray_) {
    ShowWindow(Hwnd(), SW_MINIMIZE);
    return false;
  }
  SaveProgramState();
  return true;
}

void TfmMain::miExitClick() {
  SaveProgramState();
  DestroyWindow(Hwnd());
}

void TfmMain::SetProxyTicks(bool on) {
  Find("miproxy")->SetChecked(on);
  Find("miProxy2")->SetChecked(on);
}

bool TfmMain::ProxyOn(bool ask) {
  const std::string port_text = settings_.ReadString("Settings", "pport", "8080");
  // A port that is no number stops here, before anything is asked or written.
  int32_t port = 0;
  if (!ParseIniInteger(port_text, port)) {
    Box("'" + port_text + "' is not a valid integer value", MB_ICONERROR | MB_OK);
    SetProxyTicks(false);
    return false;
  }
  if (ask) {
    const std::string question = LookupMessage("Настроить Internet Exporer для работы через Quillpost прокси?", "textQuestion2");
    if (Box(question, MB_ICONQUESTION | MB_YESNO) != IDYES) {
      SetProxyTicks(false);
      return false;
    }
  }
  const bool written = PointBrowserAtProxy(port_text);
  if (ask) ReportRegistryWrite(Hwnd(), written);
  if (!proxy_->Listen(port)) {
    Box(LookupMessage("Порт используется.", "PortInUse"), MB_ICONERROR | MB_OK);
    SetProxyTicks(false);
    // The browser keeps pointing here for now, so another port can be tried; at exit it
    // gets its own setting back.
    browser_left_pointing_ = true;
    return false;
  }
  browser_left_pointing_ = false;
  SetProxyTicks(true);
  return true;
}

void TfmMain::ProxyOff(bool ask) {
  if (ask) {
    const std::string question = LookupMessage("Выключить работу Internet Exporer через Quillpost прокси?", "textQuestion3");
    if (Box(question, MB_ICONQUESTION | MB_YESNO) != IDYES) {
      SetProxyTicks(true);
      return;
    }
  }
  const bool restored = RestoreBrowserProxy(saved_browser_proxy_);
  browser_left_pointing_ = false;
  if (ask) ReportRegistryWrite(Hwnd(), restored);
  proxy_->Stop();
  SetProxyTicks(false);
}

void TfmMain::miproxyClick() {
  if (Find("miproxy")->Checked()) {
    ProxyOff(true);
  } else {
    ProxyOn(true);
  }
}

void TfmMain::SaveProgramState() {
  // The browser gets its own proxy setting back first.
  if (Switch("miproxy") || browser_left_pointing_) RestoreBrowserProxy(saved_browser_proxy_);
  // Read the file afresh so values other writers flushed meanwhile survive; the list
  // window's switch lives only in memory until now and is carried over.
  const bool has_autoload = settings_.ValueExists("Settings", "Autoloadlist");
  const bool autoload = settings_.ReadBool("Settings", "Autoloadlist", false);
  settings_.Reload();
  if (has_autoload) settings_.WriteBool("Settings", "Autoloadlist", autoload);
  RECT frame{};
  GetWindowRect(Hwnd(), &frame);
  state_.top = frame.top;
  state_.left = frame.left;
  state_.language = CurrentLanguageNumber();
  state_.auto_button = auto_button_;
  CaptureMenuSwitches(*this, state_);
  WriteSavedState(settings_, state_);
  if (!settings_.UpdateFile()) {
    Box("Не удалось записать файл " + PathToUtf8(settings_.Path()), MB_ICONERROR | MB_OK);
  }
  SaveInputHistory(Find("cbComboBox")->Lines());
  if (dispatcher_) dispatcher_->Disconnect();
  if (proxy_) proxy_->Stop();
}

void TfmMain::LeaveClipboardChain() {
  if (!in_clipboard_chain_) return;
  in_clipboard_chain_ = false;
  if (!ChangeClipboardChain(Hwnd(), next_viewer_) && GetLastError() != 0) {
    LogError("Error : " + std::to_string(GetLastError()));
  }
}

void TfmMain::FormDestroy() { LeaveClipboardChain(); }

void TfmMain::miLangClick(int number) {
  SetCurrentLanguage(number, OpenLanguageFile(number));
  if (const IniFile* file = CurrentLanguageFile()) TranslateWindow(*this, *file);
  TickLanguageItem();
}

void TfmMain::OnCommand(ui::Component& component, int notify) {
  const std::string& name = component.Name();
  if (name == "cbComboBox") {
    if (notify == CBN_EDITCHANGE) RequestLineChanged();
    if (notify == CBN_SETFOCUS) AddInputHistory(RequestLine());
    return;
  }
  if (name == "miRequestHistory") return miRequestHistoryClick();
  if (name == "miClearHistory") return ClearHistoryClick(false);
  if (name == "miClearInputHistory") return ClearHistoryClick(true);
  if (name == "miExit" || name == "miExitQuillpost") return miExitClick();
  if (name == "btCsend") return dispatcher_->Cancel();
  if (int n = NumberAfter(name, "bb"); n >= 1 && n <= kButtonCount) {
    if (notify != BN_CLICKED) return;
    if (n == kSearchButton1 || n == kSearchButton2) search_request_ = search_prefix_ + RequestLine() + search_suffix_;
    return StartDispatch(n);
  }
  if (name == "miHelpPopUp") return StartDispatch(popup_button_, true);
  if (name == "sbGO") return PressAutomaticButton();
  if (name == "miSendRequestList") {
    // List 1 for this one run, whatever its switch says; the switch gets its tick back.
    ui::Component& list1 = *Find("miRQList1");
    const bool was = list1.Checked();
    list1.SetChecked(true);
    StartDispatch(popup_button_);
    list1.SetChecked(was);
    return;
  }
  if (name == "miRQList1") {
    const bool on = !component.Checked();
    component.SetChecked(on);
    if (on) {
      Find("miRQList2")->SetChecked(false);
      Find("miRequestList2")->SetChecked(false);
    }
    return;
  }
  if (name == "miRQList2" || name == "miRequestList2") {
    ui::Component& list2 = *Find("miRQList2");
    const bool on = !list2.Checked();
    list2.SetChecked(on);
    Find("miRequestList2")->SetChecked(on);
    if (on) Find("miRQList1")->SetChecked(false);
    return;
  }
  if (name == "miRLDelay") return component.SetChecked(!component.Checked());
  static const char* const kFixedRequests[] = {"miSubscribeToStatistic", "miRequestStatistic", "miSubscibeToQPTGroups",
                                               "miRequestVersion", "miRequestQuillpost", "miRequestUpdate"};
  for (int i = 0; i < 6; ++i) {
    if (name != kFixedRequests[i]) continue;
    const int number = kFirstFixedRequest + i;
    if (number == 33) {
      const std::string question = LookupMessage("Вы хотите подписаться на конференцию пользователей Quillpost?", "textQuestion");
      if (Box(question, MB_ICONQUESTION | MB_YESNO) != IDYES) return;
    }
    return StartDispatch(number);
  }
  if (name == "miCounterSet") return miCounterSetClick();
  if (name == "miCounterReset") return counter_.Reset();
  if (name == "miAutoON" || name == "miAddCliptoList" || name == "miAutoDecodeUrl" || name == "miSwitchOff") {
    return component.SetChecked(!component.Checked());  // plain switches
  }
  if (name == "miMonitorClipboard" || name == "miMonitorclipboard2") return miMonitorClipboardClick();
  if (name == "miproxy" || name == "miProxy2") return miproxyClick();
  if (name == "lbAdd") {
    const std::string line = RequestLine();
    if (line.empty()) return;
    request_list2_->Append(line);
    return AppendToList1(line);
  }
  if (name == "lbList") return request_list2_->ShowList();
  if (name == "miRequestList") return request_list2_->ShowListModal();
  if (name == "lbEncode") return SetRequestLine(UrlEncode(ui::GetText(ControlHwnd("cbComboBox")), SystemCodec()));
  if (name == "lbDecode") return SetRequestLine(UrlDecode(ui::GetText(ControlHwnd("cbComboBox")), SystemCodec()));
  for (int n = 0; n < kLanguageCount; ++n) {
    if (name == kLanguageItems[n]) return miLangClick(n);
  }
  if (int n = NumberAfter(name, "miEmail"); IsProfileNumber(n)) return MailboxClick(n);
  if (int n = NumberAfter(name, "mi2Email"); IsProfileNumber(n)) return MailboxClick(n);
  if (int n = NumberAfter(name, "lb"); n >= 1 && n <= 3) return MailboxClick(n);
  if (int n = NumberAfter(name, "mi"); n >= 1 && n <= kRequestButtonCount) return AutomaticButtonClick(n);
}

LRESULT TfmMain::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ACTIVATE: {
      LRESULT result = Window::HandleMessage(msg, wparam, lparam);
      if (LOWORD(wparam) != WA_INACTIVE) FormActivate();
      return result;
    }
    case WM_CLOSE:
      if (FormClose()) DestroyWindow(Hwnd());
      return 0;
    case WM_DESTROY:
      FormDestroy();
      SetStatusSink(nullptr);
      PostQuitMessage(0);
      return 0;
    case WM_QUERYENDSESSION:
      // Nothing is saved on this path: the session is ending now.
      LeaveClipboardChain();
      DestroyWindow(Hwnd());
      return TRUE;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wparam) == next_viewer_) {
        next_viewer_ = reinterpret_cast<HWND>(lparam);
      } else if (next_viewer_) {
        SendMessageW(next_viewer_, msg, wparam, lparam);
      }
      return 0;
    case WM_DRAWCLIPBOARD:
      // The other viewers first, always; then our own look.
      if (next_viewer_) SendMessageW(next_viewer_, msg, wparam, lparam);
      ClipboardChanged();
      return 0;
    case kProxyEvent:
      proxy_->OnEvent(wparam, lparam, [this](const std::string& address) {
        // The browser gets its answer first; the address is taken in right after, so a
        // letter sent in automatic mode does not keep the browser waiting.
        QueueCapture(address);
        return SystemCodec().Encode(ProxyReplyText(LookupMessage("Запрос %s отправлен программе Quillpost.", "BroswerText"), address));
      });
      return 0;
    case kCaptureQueued:
      TakeCapturedAddress();
      return 0;
    case WM_TIMER:
      if (wparam == kProxyTimer && proxy_) proxy_->CloseIdle();
      if (wparam == kIntakeTimer) {
        KillTimer(Hwnd(), kIntakeTimer);
        for (size_t n = captured_.size(); n > 0; --n) PostMessageW(Hwnd(), kCaptureQueued, 0, 0);
      }
      return 0;
    case WM_INITMENUPOPUP: {
      HMENU opened = reinterpret_cast<HMENU>(wparam);
      if (opened == SubmenuOf("miPlus")) {
        Find("miCounterCurrent")->SetCaption("Текущее значение: " + std::to_string(counter_.value));
      } else if (opened == SubmenuOf("miMailBox")) {
        RefreshMailboxMenus();
      }
      break;
    }
    case WM_CONTEXTMENU: {
      HWND control = reinterpret_cast<HWND>(wparam);
      for (int n = 1; n <= kButtonCount; ++n) {
        if (control != ControlHwnd("bb" + std::to_string(n))) continue;
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (at.x == -1 && at.y == -1) {  // from the keyboard: under the button
          RECT r;
          GetWindowRect(control, &r);
          at = {r.left, r.bottom};
        }
        popup_button_ = n;
        TrackPopupMenu(SubmenuOf("PopupMenu3"), TPM_RIGHTBUTTON, at.x, at.y, 0, Hwnd(), nullptr);
        return 0;
      }
      break;
    }
    case WM_SETCURSOR:
      if (HandleSetCursor(reinterpret_cast<HWND>(wparam))) return TRUE;
      break;
    default:
      break;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp

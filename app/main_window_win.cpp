// The main window's life: creation, activation, closing, and the state it saves; the
// wiring of its parts and the messages it hands them.
#include "app/main_window_win.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>
#include <utility>

#include "app/main_form.h"
#include "base/error_log.h"
#include "base/file_io.h"
#include "base/integer_text.h"
#include "base/process.h"
#include "base/scope_guard.h"
#include "base/status_line.h"
#include "base/working_folder.h"
#include "dialogs/about_win.h"
#include "lang/language.h"
#include "organize/history.h"
#include "request/buttons.h"
#include "ui/input_box_win.h"
#include "ui/message_box_win.h"
#include "ui/message_loop_win.h"
#include "ui/module_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr UINT kProxyEvent = WM_APP + 10;     // the proxy socket's events
constexpr UINT kCaptureQueued = WM_APP + 11;  // a captured address waits for the intake
constexpr UINT kLinkArrived = WM_APP + 12;    // the link watcher took "link.txt"
constexpr UINT kTrayEvent = WM_APP + 13;      // the tray icon's mouse events
constexpr UINT_PTR kProxyTimer = 1;           // the proxy's idle clients
constexpr UINT_PTR kIntakeTimer = 2;          // captured addresses waiting for a letter to go out

}  // namespace

TfmMain::TfmMain(std::string folder, std::string argument)
    : Window(MainFormDef()),
      folder_(std::move(folder)),
      argument_(std::move(argument)),
      request_line_(
          *this, [this] { PressAutomaticButton(); }, [this] { RequestLineChanged(); }),
      buttons_(*this),
      mailbox_(*this, settings_),
      lists_(*this, settings_, [this](const std::string& text) { request_line_.SetText(text); }),
      browser_links_(
          {*this, request_line_, lists_, [this] { return Get(fmMain::miAutoDecodeUrl).Checked(); },
           [this] { return settings_.ReadString("Settings", "browser", ""); }, [this] { return pending_exit_ != PendingExit::None; }},
          kLinkArrived),
      bookmarks_({*this, request_line_, lists_,
                  [this](const std::string& prefix, const std::string& suffix) {
                    search_prefix_ = prefix;
                    search_suffix_ = suffix;
                  }}),
      presentation_(*this, settings_),
      tray_(*this, kTrayEvent, {[this] { TrayIconMouseDown(); }, [this] { TrayIconClick(); }}),
      monitor_switch_(*this, {fmMain::miMonitorClipboard, fmMain::miMonitorclipboard2}),
      clipboard_(
          [this] {
            return ClipboardMonitor::Context{monitor_switch_.On(), request_line_.Text(), Get(fmMain::miAutoDecodeUrl).Checked()};
          },
          [this](const std::string& address) { intake_->Push(address); }) {
  BindCommands();
}

TfmMain::~TfmMain() = default;

void TfmMain::OnCreate() {
  SetStatusSink([this](std::string_view text) {
    Get(fmMain::StatusBar).SetCaption(text);
    ui::PumpMessages();
  });
  mailbox_.Attach();
  request_line_.Attach();
  SetMenuDefaultItem(SubmenuOf(fmMain::PopupMenu3), GetMenuItemID(SubmenuOf(fmMain::PopupMenu3), 2), FALSE);
  HWND progress = ControlHwnd(fmMain::ProgressBar1);
  Get(fmMain::ProgressBar1).SetRange(50, 5);
  // Progress and cancel lie over the status bar.
  SetWindowPos(progress, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(ControlHwnd(fmMain::btCsend), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  FormCreate();
  intake_ = std::make_unique<IntakeQueue>(
      Hwnd(), kCaptureQueued, kIntakeTimer,
      // In automatic mode every captured address becomes a letter: one that arrives while a
      // letter is going out waits for it.
      [this] { return Get(fmMain::miAutoON).Checked() && dispatcher_->Running(); },
      [this](const std::string& address) { AcceptCapturedUrl(address); });
  proxy_ = std::make_unique<ProxyMode>(
      Hwnd(), kProxyEvent, kProxyTimer, settings_, [this](const std::string& address) { intake_->Push(address); },
      [this](bool on) {
        Get(fmMain::miproxy).SetChecked(on);
        Get(fmMain::miProxy2).SetChecked(on);
      });
  popups_ = std::make_unique<PopupReports>(Hwnd());
  host_ = std::make_unique<MainDispatchHost>(
      MainDispatchHost::Parts{*this, request_line_, buttons_, mailbox_, [this] { return lists_.List2(); }, [this] { ++state_.letters; },
                              [this](bool enabled) {
                                if (mini_) mini_->SetSendEnabled(enabled);
                              },
                              [this](const std::string& address, const std::string& text) { popups_->Report(address, text); },
                              [this] { OpenOptions(); }},
      [this] {
        ui::PumpMessages();
        return !(dispatcher_ && dispatcher_->CancelRequested());
      });
  dispatcher_ = std::make_unique<Dispatcher>(*host_, settings_, ProgramFile("Buttons.ini"), counter_);
  // Last, once everything they hand addresses to is there.
  browser_links_.Start();
}

void TfmMain::OnPrepare() {
  // The files come before the window, so that it is made in the user's language at once.
  try {
    SetWorkingFolder(folder_);
    SetCurrentDirectoryW(ui::Widen(folder_).c_str());
    help_file_ = ProgramFile("quillpost.hlp");
    const std::string recent = ProgramFile("recent.cfg");
    if (!FileExists(recent)) AppendToFile(recent, "");
    settings_ = SettingsFile(ProgramFile("settings.ini"), SystemCodec());
    state_ = ReadSavedState(settings_);
    ++state_.starts;
    SetCurrentLanguage(state_.language, OpenLanguageFile(state_.language));
    TranslateToCurrentLanguage(*this);
  } catch (const std::exception& e) {
    LogError(std::string("MainFormCreate Error : ") + e.what());
  }
}

void TfmMain::FormCreate() {
  clipboard_.SetReady(false);
  try {
    ui::SetText(ControlHwnd(fmMain::cbComboBox), argument_);
    ui::PlaceAtStoredCorner(Hwnd(), state_.left, state_.top);
    request_line_.LoadHistory();
  } catch (const std::exception& e) {
    LogError(std::string("MainFormCreate Error : ") + e.what());
  }
  // The first-run wizard and the link watcher join here when they exist.
  clipboard_.Join(Hwnd());
}

void TfmMain::OnShow() {
  TranslateToCurrentLanguage(*this);
  TickLanguageItem();
}

bool TfmMain::OnKeyPreview(const MSG& msg) {
  // Escape anywhere in the window cancels the sending in progress.
  if (msg.wParam == VK_ESCAPE && dispatcher_ && dispatcher_->Running()) {
    dispatcher_->Cancel();
    return true;
  }
  return msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && bookmarks_.CancelDrag();
}

void TfmMain::TickLanguageItem() {
  for (int n = 0; n < kLanguageCount; ++n) Get(fmMain::kLanguageItems[n]).SetChecked(n == CurrentLanguageNumber());
}

void TfmMain::FormActivate() {
  // A box shown from these steps (proxy restore, a failed profile) re-activates the window
  // when it closes; the steps must not start again inside themselves.
  if (activating_) return;
  FlagScope activating(activating_);
  try {
    if (!first_activation_done_) FirstActivation();
    buttons_.Load();
    mailbox_.LoadStartupProfile();
    ShowStatus("");
    SetFocus(ControlHwnd(fmMain::cbComboBox));
    clipboard_.SetReady(true);
    ShowStatus(kAuthorCredit);
    if (const int automatic = buttons_.Automatic(); automatic >= 1 && automatic <= kRequestButtonCount) {
      buttons_.ChooseAutomatic(automatic);
    }
    mailbox_.RefreshMenus();
    int active = settings_.ReadInteger("Emails", "Active", 1);
    if (active < 0 || active > 255) throw std::out_of_range("Active " + std::to_string(active) + " is out of range");
    // A hand-edited number that names no profile falls back to the first one.
    mailbox_.Select(IsProfileNumber(active) ? active : 1);
    host_->SetSearchRequest("");
  } catch (const std::exception& e) {
    LogError(std::string("MainFormActivate Error : ") + e.what());
  }
}

// The switches, proxy mode and the automatic-mode button come back as they were saved.
void TfmMain::FirstActivation() {
  // Made now, while the main window is already on the screen: nobody sees it before it is
  // asked for, and the main window appears that much sooner.
  lists_.ListWindow();
  close_to_tray_ = settings_.ReadBool("Settings", "Close2Tray", false);
  presentation_.Restore(state_);
  RestoreMenuTicks(*this, state_);
  if (state_.monitor) monitor_switch_.Set(true);
  lists_.RestoreList2(state_.request_list2);
  proxy_->RestoreAtStart(settings_.ValueExists("Settings", "Proxy") && settings_.ReadBool("Settings", "Proxy", false));
  CheckRequestListDelay();
  buttons_.RememberAutomatic(state_.auto_button);
  // The tray icon comes now, once the window is on the screen: from here on the program is
  // reached through it, not through the taskbar.
  tray_.Add();
  tray_.HideTaskbarEntry();
  bookmarks_.Load();
  first_activation_done_ = true;
}

// A stored delay that is no whole number is logged; the sending falls back on its own.
// The restore goes on: what follows (the tray icon, the bookmark tree) must not be lost to it.
void TfmMain::CheckRequestListDelay() {
  const std::string delay = settings_.ReadString("Settings", "RLDelay", "30");
  if (int32_t value = 0; !ParseInteger(delay, value)) LogError("Error : " + NotAnIntegerMessage(delay));
}

void TfmMain::StartDispatch(int number, bool help_request) {
  try {
    dispatcher_->DispatchRequest(number, help_request);
  } catch (const std::exception& e) {
    // The run has ended; its buttons and profile are back. Tell the user what stopped it.
    if (pending_exit_ == PendingExit::None) ui::ShowMessage(Hwnd(), e.what(), MB_ICONERROR | MB_OK);
  }
  FinishPendingExit();
}

// A new request: the last one's status and progress go.
void TfmMain::RequestLineChanged() {
  Get(fmMain::StatusBar).SetCaption("");
  Get(fmMain::ProgressBar1).SetPosition(0);
}

void TfmMain::bbClick(int n) {
  if (n == kSearchButton1 || n == kSearchButton2) host_->SetSearchRequest(search_prefix_ + request_line_.Text() + search_suffix_);
  StartDispatch(n);
}

void TfmMain::PressAutomaticButton() {
  if (const int n = buttons_.TickedAutomatic(); n != 0) StartDispatch(n);
}

void TfmMain::AcceptCapturedUrl(const std::string& text) {
  request_line_.SetText(text);
  if (mini_) mini_->SetRequestLine(text);
  if (Get(fmMain::miAddCliptoList).Checked()) lists_.AppendToBoth(request_line_.Text());
  if (!Get(fmMain::miAutoON).Checked()) {
    // The mini window stands in for the main window while it shows.
    if (MiniShowing()) {
      mini_->FocusRequestLine();
    } else {
      tray_.ShowFromTray();
    }
    return;
  }
  PressAutomaticButton();
}

bool TfmMain::FormClose() {
  if (close_to_tray_) {
    tray_.HideToTray();
    return false;
  }
  return true;
}

void TfmMain::miExitClick() { Exit(); }

void TfmMain::Exit() {
  if (Busy()) {
    // A run or a grab is below us on the stack, in the middle of an exchange or a wait: it
    // is told to stop, and the exit follows once it has.
    if (pending_exit_ == PendingExit::None) pending_exit_ = PendingExit::Exit;
    if (dispatcher_->Running()) dispatcher_->Cancel();
    bookmarks_.CloseDialog();
    return;
  }
  SaveProgramState();
  DestroyWindow(Hwnd());
}

bool TfmMain::EndSession() {
  // The session ends now: nothing is saved, but the browser gets its own proxy setting
  // back, and a run under way stops before the window goes.
  proxy_->RestoreBrowserAtExit();
  if (Busy()) {
    pending_exit_ = PendingExit::EndSession;
    if (dispatcher_->Running()) dispatcher_->Cancel();
    bookmarks_.CloseDialog();
    return true;
  }
  clipboard_.Leave();
  DestroyWindow(Hwnd());
  return true;
}

bool TfmMain::Busy() const { return dispatcher_->Running() || browser_links_.Grabbing() || bookmarks_.DialogOpen(); }

void TfmMain::FinishPendingExit() {
  const PendingExit pending = std::exchange(pending_exit_, PendingExit::None);
  if (pending == PendingExit::Exit) Exit();
  if (pending == PendingExit::EndSession) EndSession();
}

void TfmMain::SaveProgramState() {
  // The browser gets its own proxy setting back first.
  proxy_->RestoreBrowserAtExit();
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
  state_.auto_button = buttons_.Automatic();
  state_.view_mode = static_cast<int32_t>(presentation_.Mode());
  CaptureMenuSwitches(*this, state_);
  WriteSavedState(settings_, state_);
  if (!settings_.UpdateFile()) ui::ShowMessage(Hwnd(), CannotWriteMessage(settings_.Path()), MB_ICONERROR | MB_OK);
  if (!request_line_.SaveHistory()) ui::ShowMessage(Hwnd(), CannotWriteMessage(ProgramFile(kInputHistoryFile)), MB_ICONERROR | MB_OK);
  if (first_activation_done_ && !bookmarks_.Save())
    ui::ShowMessage(Hwnd(), CannotWriteMessage(ProgramFile(kSearchTreeFile)), MB_ICONERROR | MB_OK);
  dispatcher_->Disconnect();
  proxy_->Stop();
}

void TfmMain::miMinimizeClick() {
  if (MiniShowing()) {
    mini_->CloseMini();
    return;
  }
  tray_.HideToTray();
  if (!mini_) {
    mini_ = std::make_unique<TfmMiniQPT>(
        TfmMiniQPT::Parts{[this](const std::string& text) { request_line_.SetText(text); }, [this] { PressAutomaticButton(); },
                          [this] {
                            std::optional<std::string> address = browser_links_.GrabBrowserAddress();
                            FinishPendingExit();
                            return address;
                          },
                          [this] { return Get(fmMain::cbComboBox).Lines(); }, [this] { return Get(fmMain::miSugar).Checked(); },
                          [this] {
                            tray_.ShowFromTray();
                            SetFocus(ControlHwnd(fmMain::cbComboBox));
                          },
                          [this] { tray_.HideTaskbarEntry(); }});
  }
  std::optional<std::string> caption;
  if (const int n = buttons_.Automatic(); n >= 1 && n <= kRequestButtonCount) caption = Get(fmMain::Numbered(fmMain::mi, n)).Caption();
  // See-through as the main window is, by its own opacity.
  std::optional<int> opacity;
  if (Get(fmMain::miTransp).Checked()) {
    const int mini_opacity = settings_.ReadInteger("Settings", "transp2", 200);
    if (mini_opacity >= 0 && mini_opacity <= 255) opacity = mini_opacity;
  }
  mini_->ShowMini(Hwnd(), caption, opacity);
}

// Closing the mini window shows the main window.
void TfmMain::miShowClick() {
  if (MiniShowing()) mini_->CloseMini();
  tray_.ShowFromTray();
  SetFocus(ControlHwnd(fmMain::cbComboBox));
}

void TfmMain::TrayIconMouseDown() {
  if (!IsWindowVisible(Hwnd()) && !MiniShowing()) {
    tray_.ShowFromTray();
    tray_.HideTaskbarEntry();
  }
  if (MiniShowing() && GetActiveWindow() != mini_->Hwnd()) mini_->FocusRequestLine();
}

// While the mini window stands in for the main window, the click has brought it forward.
void TfmMain::TrayIconClick() {
  if (!MiniShowing()) tray_.ShowFromTray();
}

void TfmMain::FormDestroy() {
  tray_.Remove();
  browser_links_.Stop();
  clipboard_.Leave();
}

LRESULT TfmMain::OnNotify(ui::Component& component, NMHDR& header) {
  if (component.Name() == fmMain::JvSearchTreeView) return bookmarks_.Notify(header);
  return Window::OnNotify(component, header);
}

LRESULT TfmMain::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (tray_.HandleMessage(msg, wparam, lparam)) return 0;
  if (clipboard_.HandleMessage(msg, wparam, lparam)) return 0;
  if (intake_ && intake_->HandleMessage(msg, wparam)) return 0;
  if (proxy_ && proxy_->HandleMessage(msg, wparam, lparam)) return 0;
  if (browser_links_.HandleMessage(msg, wparam)) return 0;
  if (bookmarks_.HandleMessage(msg, wparam, lparam)) return 0;
  presentation_.HandleMessage(msg, lparam);
  switch (msg) {
    case WM_ACTIVATE: {
      LRESULT result = Window::HandleMessage(msg, wparam, lparam);
      if (LOWORD(wparam) != WA_INACTIVE) FormActivate();
      return result;
    }
    case WM_CLOSE:
      if (FormClose()) Exit();
      return 0;
    case WM_DESTROY:
      FormDestroy();
      SetStatusSink(nullptr);
      PostQuitMessage(0);
      return 0;
    case WM_QUERYENDSESSION: return EndSession();
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_MINIMIZE) {  // the window goes into the tray
        tray_.HideToTray();
        return 0;
      }
      break;
    case WM_INITMENUPOPUP: {
      HMENU opened = reinterpret_cast<HMENU>(wparam);
      if (opened == SubmenuOf(fmMain::miPlus)) {
        Get(fmMain::miCounterCurrent)
            .SetCaption(LookupMessage("Текущее значение:", "textCounterCurrent") + " " + std::to_string(counter_.value));
      } else if (opened == SubmenuOf(fmMain::miMailBox)) {
        mailbox_.RefreshMenus();
      }
      break;
    }
    case WM_CONTEXTMENU:
      if (buttons_.ContextMenu(reinterpret_cast<HWND>(wparam), lparam)) return 0;
      break;
    case WM_SETCURSOR:
      if (mailbox_.SetCursor(reinterpret_cast<HWND>(wparam))) return TRUE;
      break;
    default: break;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp

// The main window TfmMain: creation, activation, closing and the program state it saves;
// its request buttons and mailbox menus.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "app/settings_file.h"
#include "delivery/mailbox_profiles.h"
#include "capture/browser_proxy_win.h"
#include "capture/proxy_server_win.h"
#include "delivery/winsock_connection_win.h"
#include "request/compose.h"
#include "organize/history_window_win.h"
#include "request/dispatch.h"
#include "request/request_list_window_win.h"
#include "ui/window_win.h"

namespace qp {

class TfmMain final : public ui::Window, private DispatchHost {
 public:
  // folder: the working folder, the one that holds the executable.
  TfmMain(std::filesystem::path folder, std::string argument);
  ~TfmMain() override;

  // The one in-memory copy of "settings.ini" for the whole run.
  SettingsFile& Settings() { return settings_; }
  const ActiveProfile& Profile() const { return profile_; }
  RequestCounter& Counter() { return counter_; }

  void LoadRequestButtons();
  void SetRequestButtonsEnabled(bool enabled);
  // Makes profile n active: writes "Active" at once, marks the label and menu entries,
  // loads the profile. Throws when the settings cannot be written or SMn is no number.
  void SelectMailbox(int n);
  void RefreshMailboxMenus();
  // Presses the automatic-mode button: the dispatch of the ticked item of mi1..mi20.
  void PressAutomaticButton();
  // Captured addresses (clipboard, proxy) reach AcceptCapturedUrl in order, through the
  // window's queue; in automatic mode each waits while a letter is going out.
  void QueueCapture(const std::string& address);
  void TakeCapturedAddress();
  // An address from the clipboard or the proxy: into the request line, and
  // sent at once in automatic mode or the window brought forward otherwise.
  void AcceptCapturedUrl(const std::string& text);
  Dispatcher& Dispatch() { return *dispatcher_; }

 protected:
  void OnCreate() override;
  void OnShow() override;
  bool OnKeyPreview(const MSG& msg) override;
  void OnCommand(ui::Component& component, int notify) override;
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void FormCreate();
  void FormActivate();
  bool FormClose();  // false when the window must stay
  void FormDestroy();
  void miExitClick();
  void miLangClick(int number);
  void miCounterSetClick();
  void MailboxClick(int n);
  void AutomaticButtonClick(int n);
  void SaveProgramState();
  void LeaveClipboardChain();
  void TickLanguageItem();
  void RequestLineChanged();
  bool HandleSetCursor(HWND control);
  static LRESULT CALLBACK RequestLineProc(HWND edit, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self);
  bool RequestLineChar(HWND edit, wchar_t key);
  void StartDispatch(int number, bool help_request = false);
  int Box(const std::string& text, UINT flags);  // a message box over this window
  void ClipboardChanged();
  void AppendToList1(const std::string& line);
  void miproxyClick();
  // Proxy mode on: the browser pointed here (asking first when asked is true), listening.
  bool ProxyOn(bool ask);
  void ProxyOff(bool ask);
  void SetProxyTicks(bool on);
  void miMonitorClipboardClick();
  void AddInputHistory(const std::string& text);

  // What the dispatch asks of the window.
  std::string RequestLine() override;
  void SetRequestLine(const std::string& text) override;
  void miRequestHistoryClick();
  void ClearHistoryClick(bool input_history);
  void AddToInputHistory(const std::string& text) override { AddInputHistory(text); }
  void SetProgress(int position) override;
  void StepProgress() override;
  void Status(const std::string& text) override;
  void ErrorBox(const std::string& text) override;
  void OpenOptions() override {}
  int CheckedMailbox() override;
  const ActiveProfile& Profile() override { return profile_; }
  bool Switch(const std::string& menu_item) override;
  std::vector<std::string> RequestList(int which) override;
  std::string SearchRequest() override { return search_request_; }
  void Minimize() override { ShowWindow(Hwnd(), SW_MINIMIZE); }
  bool Dial() override;
  void HangUp() override;
  void LetterCounted() override { ++state_.letters; }
  void Pause50ms() override;
  uint64_t Milliseconds() override { return GetTickCount64(); }
  Connector& Network() override { return connector_; }
  std::string MailDate() override;

  std::filesystem::path folder_;
  std::string argument_;
  SettingsFile settings_;
  SavedState state_;  // as read at start; the close writer updates and writes it
  ActiveProfile profile_;
  RequestCounter counter_;
  std::string search_request_;
  std::string search_prefix_, search_suffix_;  // set by the bookmark tree's search entries
  int popup_button_ = 0;
  bool enter_down_ = false;  // Enter went down in the request line
  std::string last_captured_;  // the clipboard monitor's last accepted address
  std::unique_ptr<ProxyServer> proxy_;
  BrowserProxy saved_browser_proxy_;           // as the browser had it at start
  bool activating_ = false;                    // FormActivate is running
  bool browser_left_pointing_ = false;         // pointed here, but the port could not be opened
  std::deque<std::string> captured_;           // captured addresses waiting for the intake
  WinsockConnector connector_;
  std::unique_ptr<Dispatcher> dispatcher_;
  std::unique_ptr<TfmHistory> history_window_;  // made on first use, hidden when closed
  std::unique_ptr<TfmRequestList2> request_list2_;  // made at start, lives as long as the program
  int auto_button_ = 1;  // the automatic-mode button, 1..20
  std::filesystem::path help_file_;
  bool clipboard_ready_ = false;
  bool first_activation_done_ = false;
  bool close_to_tray_ = false;
  bool in_clipboard_chain_ = false;
  HWND next_viewer_ = nullptr;
  HFONT underlined_ = nullptr;
};

// Lets pending window messages run (status updates, the cancel button).
void ProcessMessages();

// Brings a window to the front despite the system's foreground lock; true when it is there.
bool ForceForegroundWindow(HWND window);

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

}  // namespace qp

// The main window TfmMain: its life (creation, activation, closing and the state it saves)
// and the wiring of the parts it owns, each with one job.
#pragma once

#include <memory>
#include <string>

#include "app/bookmark_tree_win.h"
#include "app/browser_links_win.h"
#include "app/mailbox_selector_win.h"
#include "app/main_dispatch_host_win.h"
#include "app/mini_window_win.h"
#include "app/popup_reports_win.h"
#include "app/program_state.h"
#include "app/request_buttons_win.h"
#include "app/request_line_win.h"
#include "app/request_list_switches_win.h"
#include "app/tray_icon_win.h"
#include "app/window_presentation_win.h"
#include "base/ini_file.h"
#include "capture/clipboard_monitor_win.h"
#include "capture/intake_queue_win.h"
#include "capture/proxy_mode_win.h"
#include "organize/history_window_win.h"
#include "request/compose.h"
#include "request/dispatch.h"
#include "ui/menu_switch.h"
#include "ui/window_win.h"

namespace qp {

class TfmMain final : public ui::Window {
 public:
  // folder: the working folder (UTF-8), the one that holds the executable.
  TfmMain(std::string folder, std::string argument);
  ~TfmMain() override;

  // The one in-memory copy of "settings.ini" for the whole run.
  SettingsFile& Settings() { return settings_; }
  const ActiveProfile& Profile() const { return mailbox_.Profile(); }
  RequestCounter& Counter() { return counter_; }
  Dispatcher& Dispatch() { return *dispatcher_; }

  // An address from the clipboard or the proxy: into the request line, and sent at once
  // in automatic mode or the window brought forward otherwise.
  void AcceptCapturedUrl(const std::string& text);
  // At the very first start (the start counter just became 1), the first-run wizard.
  void RunFirstStartWizard();
  // The options dialog, modally; the dispatch opens it when a mailbox is not set up.
  void OpenOptions();
  // Presses the automatic-mode button: the dispatch of the ticked item of mi1..mi20.
  void PressAutomaticButton();

 protected:
  void OnPrepare() override;
  void OnCreate() override;
  void OnShow() override;
  bool OnKeyPreview(const MSG& msg) override;
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  LRESULT OnNotify(ui::Component& component, NMHDR& header) override;

 private:
  void FormCreate();
  void FormActivate();
  void FirstActivation();
  void CheckRequestListDelay();
  bool FormClose();  // false when the window must stay
  void FormDestroy();
  void SaveProgramState();
  // The ways out. A run under way is cancelled first and the step waits until it has
  // unwound: nothing may take away what a running exchange uses.
  void Exit();
  bool EndSession();
  void FinishPendingExit();
  // Something below on the stack waits (a run, a grab): an exit must wait for it.
  bool Busy() const;

  // The command table (main_commands_win.cpp).
  void BindCommands();
  void miExitClick();
  void miLangClick(int number);
  void TickLanguageItem();
  void miCounterSetClick();
  void miRequestHistoryClick();
  void ClearHistoryClick(bool input_history);
  void FixedRequestClick(int number);
  void bbClick(int n);
  void RequestLineChanged();
  void lbAddClick();
  void miHelpContensClick();
  void miMinimizeClick();
  void miShowClick();
  void TrayIconMouseDown();
  void TrayIconClick();
  bool MiniShowing() const { return mini_ && mini_->Showing(); }
  void miBugsandquestionsClick();
  void About1Click();
  void miProgramSettingsClick();
  void miWizardRunClick();
  void EditButton(int n);
  void miFill_LanguageClick();
  void StartDispatch(int number, bool help_request = false);

  std::string folder_;
  std::string argument_;
  SettingsFile settings_;
  SavedState state_;  // as read at start; the close writer updates and writes it
  RequestCounter counter_;
  std::string search_prefix_, search_suffix_;  // set by the bookmark tree's search entries
  bool activating_ = false;                    // FormActivate is running
  bool first_activation_done_ = false;
  bool close_to_tray_ = false;
  enum class PendingExit { None, Exit, EndSession } pending_exit_ = PendingExit::None;
  std::string help_file_;

  // The parts, in the order they are made; those that need the window's handle are made
  // when it exists.
  RequestLine request_line_;
  RequestButtons buttons_;
  MailboxSelector mailbox_;
  RequestListSwitches lists_;
  BrowserLinks browser_links_;
  BookmarkTree bookmarks_;
  WindowPresentation presentation_;
  TrayIcon tray_;
  ui::MenuSwitch monitor_switch_;
  ClipboardMonitor clipboard_;
  std::unique_ptr<IntakeQueue> intake_;
  std::unique_ptr<ProxyMode> proxy_;
  std::unique_ptr<MainDispatchHost> host_;
  std::unique_ptr<Dispatcher> dispatcher_;
  std::unique_ptr<TfmHistory> history_window_;  // made on first use, hidden when closed
  std::unique_ptr<TfmMiniQPT> mini_;            // made at the first "Минимизировать"
  std::unique_ptr<PopupReports> popups_;
};

}  // namespace qp

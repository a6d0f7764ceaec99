// The main window TfmMain: creation, activation, closing and the program state it saves;
// its request buttons and mailbox menus.
#pragma once

#include <memory>
#include <string>

#include "app/program_state.h"
#include "app/settings_file.h"
#include "delivery/mailbox_profiles.h"
#include "request/compose.h"
#include "ui/window_win.h"

namespace qp {

class TfmMain final : public ui::Window {
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

 protected:
  void OnCreate() override;
  void OnShow() override;
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
  void SetRequestLine(const std::string& text);
  bool HandleSetCursor(HWND control);
  static LRESULT CALLBACK RequestLineProc(HWND edit, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self);
  bool RequestLineChar(HWND edit, wchar_t key);

  std::filesystem::path folder_;
  std::string argument_;
  SettingsFile settings_;
  SavedState state_;  // as read at start; the close writer updates and writes it
  ActiveProfile profile_;
  RequestCounter counter_;
  std::string search_request_;
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

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

}  // namespace qp

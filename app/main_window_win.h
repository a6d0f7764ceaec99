// The main window TfmMain: creation, activation, closing and the program state it saves.
#pragma once

#include <memory>
#include <string>

#include "app/program_state.h"
#include "app/settings_file.h"
#include "ui/window_win.h"

namespace qp {

class TfmMain final : public ui::Window {
 public:
  explicit TfmMain(std::string argument);

  // The one in-memory copy of "settings.ini" for the whole run.
  SettingsFile& Settings() { return settings_; }
  int32_t StartCount() const { return state_.starts; }
  int32_t LetterCount() const { return state_.letters; }

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
  void SaveProgramState();
  void LeaveClipboardChain();
  void TickLanguageItem();

  std::string argument_;
  SettingsFile settings_;
  SavedState state_;  // as read at start; the close writer updates and writes it
  std::filesystem::path help_file_;
  bool clipboard_ready_ = false;
  bool first_activation_done_ = false;
  bool close_to_tray_ = false;
  bool in_clipboard_chain_ = false;
  HWND next_viewer_ = nullptr;
};

// Lets pending window messages run (status updates, the cancel button).
void ProcessMessages();

}  // namespace qp

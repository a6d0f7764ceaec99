// The options dialog TfmOptions: six pages over the settings file, written back by
// "&Применить"; closed by its close box, which never writes.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "base/ini_file.h"
#include "dialogs/options.h"
#include "lang/dialog_win.h"

namespace qp {

class TfmOptions final : public Dialog {
 public:
  // What the dialog changes in the running program besides the file.
  struct Program {
    SettingsFile& settings;
    std::function<void(bool)> close_to_tray;               // the flag, at once
    std::function<void(int, const std::string&)> mailbox;  // mailbox n now has this address
    std::function<void()> help;                            // the help file's contents
  };
  explicit TfmOptions(Program program);

  // Shows the dialog over owner, loaded from the settings, until its close box.
  void ShowModal(HWND owner);
  // The modal loop's first half: made, centred, shown on the first page and loaded.
  bool Open(HWND owner);

  OptionsValues Values();  // as the controls hold them
  void Show(const OptionsValues& values);
  // Writes the controls to the file; a failure is shown in a box. The dialog stays open.
  void sbApplyClick();

 protected:
  void OnShow() override;
  bool OnKeyPreview(const MSG& msg) override;

 private:
  void BindCommands();
  std::string Text(const std::string& name) const;
  void SetText(const std::string& name, const std::string& text);
  void HoldToByte(const char* number_box);  // a number box losing the focus
  void ServerChanged(int k);                // its port or user name edited

  void bbBrowseClick();
  void btDNSAutoClick();

  Program program_;
  // Each server's port and user name as its encryption choice last saw them.
  std::array<std::string, kOptionRows> ports_, users_;
};

}  // namespace qp

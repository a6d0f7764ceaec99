// The first-run wizard TfmWizard: four pages (welcome and language, licence, the address and
// SMTP server, advice); "&Finish!" writes them, Cancel writes nothing.
#pragma once

#include <windows.h>

#include <functional>

#include "base/ini_file.h"
#include "lang/dialog_win.h"

namespace qp {

class TfmWizard final : public Dialog {
 public:
  // choose_language: makes a language current in the running program as its menu does (the
  // main window translated and its entry ticked).
  TfmWizard(SettingsFile& settings, std::function<void(int)> choose_language);

  // Shows the wizard over owner until it is finished or cancelled.
  void ShowModal(HWND owner);
  bool Open(HWND owner);  // the first half of ShowModal: made, centred, shown on page 1

  int Page() const { return page_; }
  void GoTo(int page);
  void cbLanguageSelect(const std::string& text);
  void JvWizard1FinishButtonClick();
  void JvWizard1CancelButtonClick();
  bool Finished() const { return finished_; }

 protected:
  void OnShow() override;
  bool OnKeyPreview(const MSG& msg) override;
  void OnCloseAsked() override;

 private:
  void BindCommands();
  void LoadMemos();
  void ChooseLanguage(const std::string& text);

  SettingsFile& settings_;
  std::function<void(int)> choose_language_;
  int page_ = 0;
  int language_ = 0;  // the wizard language number
  bool finished_ = false;
};

}  // namespace qp

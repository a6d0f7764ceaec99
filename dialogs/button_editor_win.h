// The button editor TfmButton ("Редактирование параметров кнопки и запроса") and the request
// builders TfmConstructor behind its "WWW2MAIL" and "FTP2MAIL" buttons.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/ini_file.h"
#include "dialogs/button_editor.h"
#include "lang/dialog_win.h"

namespace qp {

class TfmButton;

class TfmConstructor final : public Dialog {
 public:
  enum class Page { Www2Mail, Ftp2Mail };
  TfmConstructor(TfmButton& editor, Page page);
  // Shows the builder over owner until it is closed. false, with the reason in a box, when a
  // list file it needs is missing.
  bool ShowModal(HWND owner);
  bool Open(HWND owner);  // the first half: made, filled and shown

  void bbW2MsaveClick();
  void bbSave2Click();

 private:
  void Fill(const char* list, const std::vector<std::string>& entries);

  TfmButton& editor_;
  Page page_;
};

class TfmButton final : public Dialog {
 public:
  explicit TfmButton(const IniFile& settings);

  // Shows button N's definition over owner until saved or left.
  void ShowModal(HWND owner, int number);
  bool Open(HWND owner, int number);  // the first half: made, loaded and shown

  ButtonFields Fields();
  void Show(const ButtonFields& fields);
  // Writes the fields into "Buttons.ini" and closes; a failure is shown and the editor stays.
  void bbSaveClick();
  // Puts text into the body at the caret, inside the line that holds it.
  void InsertTemplate(const std::string& text);
  // What a builder decided.
  void SetService(const std::string& text);
  void SetSubject(const std::string& text);
  void SetBody(const std::vector<std::string>& lines);

 private:
  void BindCommands();
  void Load();
  void Construct(TfmConstructor::Page page);

  const IniFile& settings_;
  int number_ = 0;
};

// A list file of the working folder opened with its registered editor.
void OpenListFile(const char* name);

}  // namespace qp

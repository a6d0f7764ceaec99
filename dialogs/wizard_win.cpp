// The first-run wizard.
#include "dialogs/wizard_win.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "base/file_io.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "dialogs/wizard.h"
#include "lang/language.h"
#include "ui/message_box_win.h"
#include "ui/message_loop_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr int kPages = 4;
constexpr char kSequence[] = "JvWizard1";

ui::FormDef WizardDef() {
  using ui::Kind;
  ui::FormDef form{.name = "fmWizard", .title = "Quillpost", .client_width = 497, .client_height = 383, .controls = {}};
  auto& c = form.controls;
  // The page sequence: pages without tabs, one shown at a time.
  c.push_back({.name = kSequence, .kind = Kind::PageControl, .bounds = {0, 0, 497, 341}, .visible = false});
  auto page = [&](const std::string& name, const std::string& title, const std::string& subtitle) {
    c.push_back({.name = name, .kind = Kind::TabSheet, .parent = kSequence, .caption = title, .bounds = {0, 0, 497, 341}});
    c.push_back({.name = name + "Title", .kind = Kind::Label, .parent = name, .caption = title, .bounds = {12, 10, 473, 16}});
    c.push_back({.name = name + "Subtitle", .kind = Kind::Label, .parent = name, .caption = subtitle, .bounds = {24, 28, 461, 44}});
  };
  page("wpWelcome", "Setup wizard", "This wizard will help your to setup Quillpost.");
  c.push_back({.name = "mmWelcome", .kind = Kind::Memo, .parent = "wpWelcome", .bounds = {12, 76, 473, 196}, .read_only = true});
  c.push_back({.name = "lbLanguage",
               .kind = Kind::Label,
               .parent = "wpWelcome",
               .caption = "Choose your language from list",
               .bounds = {12, 284, 300, 16}});
  c.push_back({.name = "cbLanguage",
               .kind = Kind::ComboBox,
               .parent = "wpWelcome",
               .caption = "English",
               .bounds = {12, 302, 200, 22},
               .items = {"English", "Russian", "Ukraine", "Custom"}});
  page("wpLicence", "Лицензионное соглашение (License)",
       "Установка и использование Quillpost означает, что вы понимаете положения настоящего лицензионного соглашения и "
       "согласны с ними.");
  c.push_back({.name = "mmLicence", .kind = Kind::Memo, .parent = "wpLicence", .bounds = {12, 76, 473, 256}, .read_only = true});
  page("wpSettings", "Основные настройки (Main settings)",
       "Введите данные e-mail и адрес почтового сервера. Этот адрес Вам предоставляет системный администратор или провайдер "
       "Интернета. SMTP сервер используеться для отправки писем.");
  c.push_back({.name = "lbMail",
               .kind = Kind::Label,
               .parent = "wpSettings",
               .caption = "Ваш адрес электронной почты (например, ivan@example.org):",
               .bounds = {12, 90, 473, 16}});
  c.push_back({.name = "edMail",
               .kind = Kind::Edit,
               .parent = "wpSettings",
               .hint = "Ваш адрес электронной почты",
               .bounds = {12, 108, 473, 22},
               .max_length = 256});
  c.push_back({.name = "lbSMTP",
               .kind = Kind::Label,
               .parent = "wpSettings",
               .caption = "Адрес SMTP сервера вашего провайдера (например, smtp.example.org):",
               .bounds = {12, 146, 473, 16}});
  c.push_back({.name = "edSMTP",
               .kind = Kind::Edit,
               .parent = "wpSettings",
               .hint = "Имя или адрес SMTP сервера для отправки запросов",
               .bounds = {12, 164, 473, 22},
               .max_length = 256});
  c.push_back({.name = "lbOther",
               .kind = Kind::Label,
               .parent = "wpSettings",
               .caption = "If your will use other than SMTP for sending just left it blank",
               .bounds = {12, 204, 473, 16}});
  page("wpReady", "Ready!", "All main settings are set and program is ready for work.");
  c.push_back({.name = "mmLastAdvice", .kind = Kind::Memo, .parent = "wpReady", .bounds = {12, 76, 473, 256}, .read_only = true});
  // The button bar.
  c.push_back({.name = "btBack", .kind = Kind::Button, .caption = "< &Back", .bounds = {166, 350, 75, 25}});
  c.push_back({.name = "btNext", .kind = Kind::Button, .caption = "&Next >", .bounds = {245, 350, 75, 25}});
  c.push_back({.name = "btFinish", .kind = Kind::Button, .caption = "&Finish!", .bounds = {245, 350, 75, 25}, .visible = false});
  c.push_back({.name = "btCancel", .kind = Kind::Button, .caption = "Cancel", .bounds = {410, 350, 75, 25}});
  return form;
}

}  // namespace

TfmWizard::TfmWizard(SettingsFile& settings, std::function<void(int)> choose_language)
    : Dialog(WizardDef()), settings_(settings), choose_language_(std::move(choose_language)) {
  BindCommands();
}

void TfmWizard::BindCommands() {
  Commands()
      .On("btBack", [this] { GoTo(page_ - 1); })
      .On("btNext", [this] { GoTo(page_ + 1); })
      .On("btFinish", [this] { JvWizard1FinishButtonClick(); })
      .On("btCancel", [this] { JvWizard1CancelButtonClick(); })
      .OnNotify("cbLanguage", [this](int code) {
        if (code != CBN_SELCHANGE) return;
        const int chosen = Get("cbLanguage").ItemIndex();
        if (chosen >= 0) cbLanguageSelect(Get("cbLanguage").Lines()[static_cast<std::size_t>(chosen)]);
      });
}

bool TfmWizard::Open(HWND owner) {
  // A frame and a caption, no buttons on it: the wizard ends by its own buttons.
  if (!Create(owner, WS_POPUP | WS_CAPTION | WS_DLGFRAME, WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, 0, 0)) return false;
  ui::CenterWindow(Hwnd(), nullptr);
  GoTo(0);
  ShowWindow(Hwnd(), SW_SHOW);
  SetForegroundWindow(Hwnd());
  return true;
}

void TfmWizard::ShowModal(HWND owner) {
  if (!Open(owner)) return;
  RunModalAndDestroy(owner);
}

void TfmWizard::OnShow() {
  LoadMemos();
  // A language file's memo lines stand in for the texts' lines.
  Translate();
  language_ = 0;
  GoTo(page_);
}

// Each text only when its file is there.
void TfmWizard::LoadMemos() {
  const std::pair<const char*, const char*> texts[] = {
      {"mmWelcome", "welcome.txt"}, {"mmLicence", "license.txt"}, {"mmLastAdvice", "advice.txt"}};
  for (const auto& [memo, file] : texts) {
    const TextFileState state = ReadTextFile(ProgramFile(file), SystemCodec());
    ui::SetText(ControlHwnd(memo), state.exists ? state.text.utf8 : "");
  }
}

void TfmWizard::GoTo(int page) {
  if (page < 0 || page >= kPages) return;
  page_ = page;
  ShowPage(kSequence, page);
  const bool last = page == kPages - 1;
  Get("btBack").SetEnabled(page > 0);
  ShowWindow(ControlHwnd("btNext"), last ? SW_HIDE : SW_SHOW);
  ShowWindow(ControlHwnd("btFinish"), last ? SW_SHOW : SW_HIDE);
  SetDefaultButton(last ? "btFinish" : "btNext");
}

void TfmWizard::ChooseLanguage(const std::string& text) {
  language_ = WizardLanguageNumber(text);
  choose_language_(language_);
  if (CurrentLanguageFile()) {
    Translate();
    GoTo(page_);  // the page's texts in the new language
  }
}

void TfmWizard::cbLanguageSelect(const std::string& text) { ChooseLanguage(text); }

void TfmWizard::JvWizard1FinishButtonClick() {
  try {
    settings_.Reload();
    ChooseLanguage(ui::GetText(ControlHwnd("cbLanguage")));
    ApplyWizard(settings_, ui::GetText(ControlHwnd("edMail")), ui::GetText(ControlHwnd("edSMTP")), language_);
    if (!settings_.UpdateFile()) throw std::runtime_error(CannotWriteMessage(settings_.Path()));
  } catch (const std::exception& e) {
    ui::ShowMessage(Hwnd(), e.what(), MB_ICONERROR | MB_OK);  // the wizard stays open
    return;
  }
  finished_ = true;
  Close();
}

void TfmWizard::JvWizard1CancelButtonClick() { Close(); }

// Enter goes on (or finishes), Escape cancels, as in the system's own wizards.
bool TfmWizard::OnKeyPreview(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_ESCAPE) {
    JvWizard1CancelButtonClick();
    return true;
  }
  if (msg.wParam == VK_RETURN && GetDlgCtrlID(msg.hwnd) != GetDlgCtrlID(ControlHwnd("btBack"))) {
    if (page_ == kPages - 1) {
      JvWizard1FinishButtonClick();
    } else {
      GoTo(page_ + 1);
    }
    return true;
  }
  return false;
}

void TfmWizard::OnCloseAsked() { JvWizard1CancelButtonClick(); }  // Alt+F4: as Cancel

}  // namespace qp

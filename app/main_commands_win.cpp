// The main window's command table: which handler each control and menu entry runs, and
// the small handlers of menu entries that open a box or a window and are done.
#include <string>

#include "app/main_form.h"
#include "app/main_window_win.h"
#include "base/process.h"
#include "base/working_folder.h"
#include "dialogs/about_win.h"
#include "dialogs/button_editor_win.h"
#include "dialogs/options_win.h"
#include "dialogs/wizard_win.h"
#include "lang/language.h"
#include "lang/language_template.h"
#include "organize/history.h"
#include "request/buttons.h"
#include "ui/input_box_win.h"
#include "ui/message_box_win.h"
#include "ui/module_win.h"

namespace qp {
namespace {

// The fixed requests of the "&+++" menu, numbers 31 to 36 in this order.
constexpr const char* kFixedRequests[] = {fmMain::miSubscribeToStatistic, fmMain::miRequestStatistic, fmMain::miSubscibeToQPTGroups,
                                          fmMain::miRequestVersion,       fmMain::miRequestQuillpost, fmMain::miRequestUpdate};
constexpr int kUserGroupRequest = 33;  // asks before subscribing

// Switches that are a menu entry's tick and nothing more.
constexpr const char* kPlainSwitches[] = {fmMain::miAutoON,    fmMain::miAddCliptoList, fmMain::miAutoDecodeUrl,
                                          fmMain::miSwitchOff, fmMain::miRLDelay,       fmMain::miPopUps};

}  // namespace

void TfmMain::BindCommands() {
  using namespace fmMain;
  ui::Commands& c = Commands();
  c.OnNotify(cbComboBox, [this](int code) { request_line_.Notify(code); })
      .OnLabel(lbEncode, [this] { request_line_.Encode(); })
      .OnLabel(lbDecode, [this] { request_line_.Decode(); })
      .OnLabel(lbAdd, [this] { lbAddClick(); })
      .OnLabel(lbList, [this] { lists_.ShowList2(); })
      .OnLabel(lbFavorites, [this] { browser_links_.lbFavoritesClick(ControlHwnd(fmMain::lbFavorites)); })
      .OnLabel(lbHookURL,
               [this] {
                 browser_links_.lbHookURLClick();
                 FinishPendingExit();
               })
      .OnEach(lb, 1, 3,
              [this](int n, int code) {
                if (code == ui::Commands::kClicked) mailbox_.Click(n);
              })
      .OnEach(bb, 1, 22,
              [this](int n, int code) {
                if (code == BN_CLICKED) bbClick(n);
              })
      .On(sbGO, [this] { PressAutomaticButton(); })
      .On(btCsend, [this] { dispatcher_->Cancel(); })
      .OnEach(miEmail, 1, kProfileCount, [this](int n, int) { mailbox_.Click(n); })
      .OnEach(mi2Email, 1, kProfileCount, [this](int n, int) { mailbox_.Click(n); })
      .On(miExit, [this] { miExitClick(); })
      .On(miExitQuillpost, [this] { miExitClick(); })
      .OnEach("miLang", 1, kLanguageCount, [this](int n, int) { miLangClick(n - 1); })
      .OnEach(mi, 1, kRequestButtonCount, [this](int n, int) { buttons_.ChooseAutomatic(n); })
      .On(miMonitorClipboard, [this] { monitor_switch_.Toggle(); })
      .On(miMonitorclipboard2, [this] { monitor_switch_.Toggle(); })
      .On(miproxy, [this] { proxy_->Toggle(); })
      .On(miProxy2, [this] { proxy_->Toggle(); })
      .On(miRQList1, [this] { lists_.List1Click(); })
      .On(miRQList2, [this] { lists_.List2Click(); })
      .On(miRequestList2, [this] { lists_.List2Click(); })
      .On(miRequestList, [this] { lists_.ShowList2Modal(); })
      .On(miRequestHistory, [this] { miRequestHistoryClick(); })
      .On(miClearHistory, [this] { ClearHistoryClick(false); })
      .On(miClearInputHistory, [this] { ClearHistoryClick(true); })
      .On(miCounterSet, [this] { miCounterSetClick(); })
      .On(miCounterReset, [this] { counter_.Reset(); })
      .On(miSendRequestList, [this] { lists_.WithList1([this] { StartDispatch(buttons_.PopupButton()); }); })
      .On(miHelpPopUp, [this] { StartDispatch(buttons_.PopupButton(), true); })
      .On(miInsertCategory, [this] { bookmarks_.miInsertCategoryClick(); })
      .On(miAddCategory, [this] { bookmarks_.miAddCategoryClick(); })
      .On(miAddSubCategory, [this] { bookmarks_.miAddSubCategoryClick(); })
      .On(miRenameRequest, [this] { bookmarks_.miRenameRequestClick(); })
      .On(miDeleteRequest, [this] { bookmarks_.miDeleteRequestClick(); })
      .On(miStayOnTop, [this] { presentation_.miStayOnTopClick(); })
      .On(miSugar, [this] { presentation_.miSugarClick(); })
      .On(miTransp, [this] { presentation_.miTranspClick(); })
      .On(miHideWhenDone1, [this] { presentation_.miHideWhenDone1Click(); })
      .On(miHideWhenDone2, [this] { presentation_.miHideWhenDone1Click(); })
      .On(miShow, [this] { miShowClick(); })
      .On(miMinimize, [this] { miMinimizeClick(); })
      .On(miHide, [this] { tray_.HideToTray(); })
      .On(miHelpContens, [this] { miHelpContensClick(); })
      .On(miHelp2, [this] { miHelpContensClick(); })
      .On(miBugsandquestions, [this] { miBugsandquestionsClick(); })
      .On(miAbout, [this] { About1Click(); })
      .On(miEdit_www4mail_list, [] { OpenListFile("www4mail.ini"); })
      .On(miEdit_www2mail_list, [] { OpenListFile("www2mail.ini"); })
      .On(miEdit_www2mail_commands, [] { OpenListFile("commands.ini"); })
      .On(miEdit_www2mail_endings, [] { OpenListFile("attr.ini"); })
      .On(miEditButtonSettings,
          [this] {
            EditButton(buttons_.PopupButton());
            FinishPendingExit();
          })
      .OnEach(miRQ, 1, kSearchButton2,
              [this](int n, int) {
                EditButton(n);
                FinishPendingExit();
              })
      .On(miFill_Language, [this] { miFill_LanguageClick(); })
      .On(miWizardRun,
          [this] {
            miWizardRunClick();
            FinishPendingExit();
          })
      .On(miProgramSettings, [this] {
        miProgramSettingsClick();
        FinishPendingExit();
      });
  for (const ViewMode mode : kViewModes) c.On(std::string(ViewModeEntry(mode)), [this, mode] { presentation_.ViewModeClick(mode); });
  // The search constructor waits in a loop of its own: an exit asked for meanwhile follows
  // once it has closed.
  c.On(miAddRequest,
       [this] {
         bookmarks_.miAddRequestClick();
         FinishPendingExit();
       })
      .On(miEditRequest,
          [this] {
            bookmarks_.miEditRequestClick();
            FinishPendingExit();
          })
      .OnLabel(lbAddToFavorites, [this] {
        bookmarks_.lbAddToFavoritesClick();
        FinishPendingExit();
      });
  for (const char* entry : kPlainSwitches) {
    c.On(entry, [this, entry] {
      ui::Component& item = Get(entry);
      item.SetChecked(!item.Checked());
    });
  }
  for (int i = 0; i < static_cast<int>(std::size(kFixedRequests)); ++i) {
    c.On(kFixedRequests[i], [this, i] { FixedRequestClick(kFirstFixedRequest + i); });
  }
}

void TfmMain::FixedRequestClick(int number) {
  if (number == kUserGroupRequest) {
    const std::string question = LookupMessage("Вы хотите подписаться на конференцию пользователей Quillpost?", "textQuestion");
    if (ui::ShowMessage(Hwnd(), question, MB_ICONQUESTION | MB_YESNO) != IDYES) return;
  }
  StartDispatch(number);
}

void TfmMain::lbAddClick() {
  if (const std::string line = request_line_.Text(); !line.empty()) lists_.AppendToBoth(line);
}

void TfmMain::miHelpContensClick() {
  if (!FileExists(help_file_) || !ui::ShellOpen(help_file_)) {
    ui::ShowMessage(Hwnd(), LookupMessage("Не удалось открыть справку", "textHelpFailed") + ": " + help_file_, MB_ICONWARNING | MB_OK);
  }
}

void TfmMain::miBugsandquestionsClick() {
  if (!ui::ShellOpen("mailto:" + std::string(FixedServices::kSupport))) {
    ui::ShowMessage(Hwnd(), LookupMessage("Не удалось открыть почтовую программу", "textMailProgramFailed"), MB_ICONWARNING | MB_OK);
  }
}

void TfmMain::About1Click() {
  TfmAbout about(state_.starts, state_.letters);
  about.ShowModal(Hwnd());
}

// A window on top would hide the dialog: it steps aside while the dialog is open.
void TfmMain::miProgramSettingsClick() {
  const bool on_top = Get(fmMain::miStayOnTop).Checked();
  if (on_top) presentation_.miStayOnTopClick();
  OpenOptions();
  if (on_top && Hwnd()) presentation_.miStayOnTopClick();
}

// The translators' template "Custom.lng" from the windows there are now and "strings".
void TfmMain::miFill_LanguageClick() {
  std::vector<ui::Form*> windows;
  for (ui::Window* window : ui::Window::LiveWindows()) windows.push_back(window);
  if (!WriteLanguageTemplate(windows)) ui::ShowMessage(Hwnd(), FileNotFoundMessage(ProgramFile("strings")), MB_ICONERROR | MB_OK);
}

// The editor of button n; the buttons show what was saved when it has closed.
void TfmMain::EditButton(int n) {
  if (n < 1 || n > kSearchButton2) return;
  TfmButton editor(settings_);
  editor.ShowModal(Hwnd(), n);
  buttons_.Load();
}

void TfmMain::RunFirstStartWizard() {
  if (state_.starts == 1) miWizardRunClick();
}

void TfmMain::miWizardRunClick() {
  TfmWizard wizard(settings_, [this](int language) { miLangClick(language); });
  // At the first start the main window is not there yet to own it.
  wizard.ShowModal(IsWindowVisible(Hwnd()) ? Hwnd() : nullptr);
}

void TfmMain::OpenOptions() {
  TfmOptions options({.settings = settings_,
                      .close_to_tray = [this](bool on) { close_to_tray_ = on; },
                      .mailbox = [this](int n, const std::string& address) { mailbox_.ShowAddress(n, address); },
                      .help = [this] { miHelpContensClick(); }});
  options.ShowModal(Hwnd());
}

void TfmMain::miRequestHistoryClick() {
  if (!history_window_) {
    history_window_ = std::make_unique<TfmHistory>(Hwnd(), [this](const std::string& request) { request_line_.SetText(request); });
  }
  history_window_->ShowWindow();
}

void TfmMain::ClearHistoryClick(bool input_history) {
  const std::string question = input_history ? LookupMessage("Удалить историю ввода запросов?", "textQuestion5")
                                             : LookupMessage("Удалить историю запросов?", "textQuestion6");
  if (ui::ShowMessage(Hwnd(), question, MB_ICONQUESTION | MB_YESNO) != IDYES) return;
  if (input_history) {
    request_line_.ClearHistory();
    return;
  }
  // The open history window holds the rows too: it empties with the file, or its close
  // would write them back.
  const bool cleared = history_window_ ? history_window_->ClearAll() : ClearHistory();
  if (!cleared) ui::ShowMessage(Hwnd(), CannotWriteMessage(ProgramFile(kHistoryFile)), MB_ICONERROR | MB_OK);
}

void TfmMain::miCounterSetClick() {
  std::string text = std::to_string(counter_.start);
  if (ui::InputQuery(Hwnd(), "Set counter", "Counter value (number)", text)) counter_.Set(text);
}

void TfmMain::miLangClick(int number) {
  SetCurrentLanguage(number, OpenLanguageFile(number));
  TranslateToCurrentLanguage(*this);
  TickLanguageItem();
  InvalidateRect(ControlHwnd(fmMain::JvSearchTreeView), nullptr, TRUE);  // the root's name
}

}  // namespace qp

// The component table of the main window and the names of its components. The names are
// part of the language files' format ("fmMain.miExit.Caption"): the code uses them only
// through these constants, so a misspelt one does not compile.
#pragma once

#include <string>
#include <string_view>

#include "ui/form.h"

namespace qp {

ui::FormDef MainFormDef();

namespace fmMain {

// The top label row and the request line.
inline constexpr char lbHookURL[] = "lbHookURL";
inline constexpr char lbMailBox[] = "lbMailBox";
inline constexpr char lbAddToFavorites[] = "lbAddToFavorites";
inline constexpr char lbFavorites[] = "lbFavorites";
inline constexpr char lbEncode[] = "lbEncode";
inline constexpr char lbDecode[] = "lbDecode";
inline constexpr char lbAdd[] = "lbAdd";
inline constexpr char lbList[] = "lbList";
inline constexpr char cbComboBox[] = "cbComboBox";
// Groups, request list 1, the status line, progress and cancel.
inline constexpr char gbButtons[] = "gbButtons";
inline constexpr char gbSearch[] = "gbSearch";
inline constexpr char gbList[] = "gbList";
inline constexpr char JvmmList[] = "JvmmList";
inline constexpr char JvSearchTreeView[] = "JvSearchTreeView";
inline constexpr char StatusBar[] = "StatusBar";
inline constexpr char ProgressBar1[] = "ProgressBar1";
inline constexpr char sbGO[] = "sbGO";
inline constexpr char btCsend[] = "btCsend";
// The main menu.
inline constexpr char miMailBox[] = "miMailBox";
inline constexpr char miExit[] = "miExit";
inline constexpr char miView[] = "miView";
inline constexpr char miLanguage[] = "miLanguage";
// The view menu: the view modes and the window's switches.
inline constexpr char miPanels[] = "miPanels";
inline constexpr char miSimple[] = "miSimple";
inline constexpr char miOriginal[] = "miOriginal";
inline constexpr char miSpecial[] = "miSpecial";
inline constexpr char miMin[] = "miMin";
inline constexpr char miList[] = "miList";
inline constexpr char miSuperView[] = "miSuperView";
inline constexpr char miMinimize[] = "miMinimize";
inline constexpr char miStayOnTop[] = "miStayOnTop";
inline constexpr char miProgramSettings[] = "miProgramSettings";
inline constexpr char miWizardRun[] = "miWizardRun";
inline constexpr char miFill_Language[] = "miFill_Language";  // hidden: the translators' template
// The list files of the button editor and its builders, opened for editing.
inline constexpr char miEdit_www4mail_list[] = "miEdit_www4mail_list";
inline constexpr char miEdit_www2mail_list[] = "miEdit_www2mail_list";
inline constexpr char miEdit_www2mail_commands[] = "miEdit_www2mail_commands";
inline constexpr char miEdit_www2mail_endings[] = "miEdit_www2mail_endings";
inline constexpr char miSugar[] = "miSugar";
inline constexpr char miTransp[] = "miTransp";
inline constexpr char miHideWhenDone1[] = "miHideWhenDone1";
inline constexpr char miHideWhenDone2[] = "miHideWhenDone2";
inline constexpr char miSettings[] = "miSettings";
inline constexpr char miAutomation[] = "miAutomation";
inline constexpr char miAutoON[] = "miAutoON";
inline constexpr char miMonitorClipboard[] = "miMonitorClipboard";
inline constexpr char miproxy[] = "miproxy";
inline constexpr char miAddCliptoList[] = "miAddCliptoList";
inline constexpr char miAutoDecodeUrl[] = "miAutoDecodeUrl";
inline constexpr char miSwitchOff[] = "miSwitchOff";
inline constexpr char miRQList1[] = "miRQList1";
inline constexpr char miRQList2[] = "miRQList2";
inline constexpr char miRLDelay[] = "miRLDelay";
inline constexpr char miPopUps[] = "miPopUps";
inline constexpr char miRQSettings[] = "miRQSettings";
inline constexpr char miPlus[] = "miPlus";
inline constexpr char miSubscribeToStatistic[] = "miSubscribeToStatistic";
inline constexpr char miRequestStatistic[] = "miRequestStatistic";
inline constexpr char miSubscibeToQPTGroups[] = "miSubscibeToQPTGroups";
inline constexpr char miRequestVersion[] = "miRequestVersion";
inline constexpr char miRequestQuillpost[] = "miRequestQuillpost";
inline constexpr char miRequestUpdate[] = "miRequestUpdate";
inline constexpr char miRequestList[] = "miRequestList";
inline constexpr char miRequestHistory[] = "miRequestHistory";
inline constexpr char miClearHistory[] = "miClearHistory";
inline constexpr char miClearInputHistory[] = "miClearInputHistory";
inline constexpr char miCounter[] = "miCounter";
inline constexpr char miCounterSet[] = "miCounterSet";
inline constexpr char miCounterReset[] = "miCounterReset";
inline constexpr char miCounterCurrent[] = "miCounterCurrent";
// The bookmark tree's right-click menu.
inline constexpr char PopupMenu2[] = "PopupMenu2";
inline constexpr char miInsertCategory[] = "miInsertCategory";
inline constexpr char miAddCategory[] = "miAddCategory";
inline constexpr char miAddSubCategory[] = "miAddSubCategory";
inline constexpr char miAddRequest[] = "miAddRequest";
inline constexpr char miEditRequest[] = "miEditRequest";
inline constexpr char miRenameRequest[] = "miRenameRequest";
inline constexpr char miDeleteRequest[] = "miDeleteRequest";
// The request buttons' right-click menu.
inline constexpr char PopupMenu3[] = "PopupMenu3";
inline constexpr char miSendRequestList[] = "miSendRequestList";
inline constexpr char miHelpPopUp[] = "miHelpPopUp";
inline constexpr char miEditButtonSettings[] = "miEditButtonSettings";
// The help menu.
inline constexpr char miHelp[] = "miHelp";
inline constexpr char miHelpContens[] = "miHelpContens";
inline constexpr char miBugsandquestions[] = "miBugsandquestions";
inline constexpr char miAbout[] = "miAbout";
// The tray menu and its twins of main-menu switches.
inline constexpr char PopupMenu1[] = "PopupMenu1";
inline constexpr char miMailBox2[] = "miMailBox2";
inline constexpr char miProxy2[] = "miProxy2";
inline constexpr char miRequestList2[] = "miRequestList2";
inline constexpr char miMonitorclipboard2[] = "miMonitorclipboard2";
inline constexpr char miExitQuillpost[] = "miExitQuillpost";
inline constexpr char miShow[] = "miShow";
inline constexpr char miHide[] = "miHide";
inline constexpr char miHelp2[] = "miHelp2";

// Numbered families: the prefix, and the name of member n.
inline constexpr char bb[] = "bb";              // bb1..bb20 request buttons, bb21 and bb22 search
inline constexpr char lb[] = "lb";              // lb1..lb3, the first three mailbox profiles
inline constexpr char mi[] = "mi";              // mi1..mi20, the automatic-mode button
inline constexpr char miEmail[] = "miEmail";    // miEmail1..miEmail10, the mailbox menu
inline constexpr char mi2Email[] = "mi2Email";  // mi2Email1..mi2Email10, its tray twin
inline constexpr char miRQ[] = "miRQ";          // miRQ1..miRQ22, the button editor's entries
inline std::string Numbered(std::string_view prefix, int n) { return std::string(prefix) + std::to_string(n); }

// Language menu entries miLang1..miLang4 stand for language numbers 0..3.
inline constexpr const char* kLanguageItems[] = {"miLang1", "miLang2", "miLang3", "miLang4"};

}  // namespace fmMain
}  // namespace qp

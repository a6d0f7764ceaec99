// The component table of the main window: names, kinds, Russian texts and design places.
#include "app/main_form.h"

#include <string>

namespace qp {

using ui::ControlDef;
using ui::Kind;

ui::FormDef MainFormDef() {
  ui::FormDef form{.name = "fmMain", .title = "Quillpost", .client_width = 394, .client_height = 569, .controls = {}};
  auto& c = form.controls;
  auto label = [&](std::string name, std::string caption, int left, int width, std::string hint = "") {
    c.push_back({.name = std::move(name),
                 .kind = Kind::Label,
                 .caption = std::move(caption),
                 .hint = std::move(hint),
                 .bounds = {left, 0, width, 15}});
  };
  auto item = [&](std::string name, std::string parent, std::string caption, ui::Shortcut shortcut = {}, bool radio = false,
                  bool checked = false) {
    c.push_back({.name = std::move(name),
                 .kind = Kind::MenuItem,
                 .parent = std::move(parent),
                 .caption = std::move(caption),
                 .shortcut = shortcut,
                 .radio = radio,
                 .checked = checked});
  };
  auto menu = [&](std::string name, std::string parent, std::string caption) {
    c.push_back({.name = std::move(name), .kind = Kind::Menu, .parent = std::move(parent), .caption = std::move(caption)});
  };
  auto separator = [&](std::string name, std::string parent) {
    c.push_back({.name = std::move(name), .kind = Kind::Separator, .parent = std::move(parent)});
  };

  // The top label row.
  label(fmMain::lbHookURL, "URL с броузера", 3, 92);
  label(fmMain::lbMailBox, "Почтовый ящик:", 98, 98, "Активный почтовый ящик");
  for (int n = 1; n <= 3; ++n) label(fmMain::Numbered(fmMain::lb, n), std::to_string(n), 188 + 11 * n, 9, "Не указан");
  label(fmMain::lbAddToFavorites, "+", 240, 10, "Добавить в закладки Quillpost");
  label(fmMain::lbFavorites, "И", 253, 14);
  label(fmMain::lbEncode, "К", 270, 9, "Кодировать строку запроса");
  label(fmMain::lbDecode, "Д", 280, 12, "Декодировать строку запроса");
  label(fmMain::lbAdd, "Добавить в", 300, 63, "Добавить запрос в лист запросов");
  label(fmMain::lbList, "лист", 365, 25, "Открыть лист запросов");

  c.push_back({.name = fmMain::cbComboBox,
               .kind = Kind::ComboBox,
               .hint = "Строка запроса/Путь к файлу/Ключевое слово поиска",
               .bounds = {4, 16, 386, 23}});
  // Request buttons: four columns, rows at 15, 45, 75, 105 and 135 inside their group.
  c.push_back({.name = fmMain::gbButtons, .kind = Kind::GroupBox, .caption = "Запрос веб-страницы/файла", .bounds = {4, 38, 386, 170}});
  for (int n = 1; n <= 20; ++n) {
    const int row = (n - 1) / 4, column = (n - 1) % 4;
    c.push_back({.name = fmMain::Numbered(fmMain::bb, n),
                 .kind = Kind::BitButton,
                 .parent = fmMain::gbButtons,
                 .bounds = {8 + column * 94, 15 + row * 30, 90, 25}});
  }
  c.push_back({.name = fmMain::gbSearch, .kind = Kind::GroupBox, .caption = "Закладки и Поиск", .bounds = {4, 208, 386, 196}});
  c.push_back({.name = fmMain::JvSearchTreeView, .kind = Kind::TreeView, .parent = fmMain::gbSearch, .bounds = {6, 16, 374, 144}});
  c.push_back({.name = fmMain::Numbered(fmMain::bb, 21),
               .kind = Kind::BitButton,
               .parent = fmMain::gbSearch,
               .caption = "По&иск 1",
               .bounds = {6, 164, 185, 25}});
  c.push_back({.name = fmMain::Numbered(fmMain::bb, 22),
               .kind = Kind::BitButton,
               .parent = fmMain::gbSearch,
               .caption = "По&иск 2",
               .bounds = {195, 164, 185, 25}});
  c.push_back({.name = fmMain::gbList, .kind = Kind::GroupBox, .caption = "Лист запросов", .bounds = {4, 404, 386, 141}});
  c.push_back({.name = fmMain::JvmmList, .kind = Kind::Memo, .parent = fmMain::gbList, .bounds = {6, 16, 374, 118}});
  // The status bar follows the bottom edge; its one panel is 300 pixels wide.
  c.push_back({.name = fmMain::StatusBar, .kind = Kind::StatusBar, .bounds = {0, 549, 300, 20}});
  // Send progress and the cancel button lie over the status bar.
  c.push_back({.name = fmMain::ProgressBar1, .kind = Kind::ProgressBar, .bounds = {224, 555, 133, 10}});
  // The automatic-mode button as a control, for the mini window's send button.
  c.push_back({.name = fmMain::sbGO, .kind = Kind::Button, .bounds = {0, 0, 0, 0}, .visible = false});
  c.push_back(
      {.name = fmMain::btCsend, .kind = Kind::Button, .caption = "X", .hint = "Отмена отправки запроса", .bounds = {372, 553, 15, 14}});

  // The ten mailbox profiles, in the main menu and again in the tray menu.
  auto mailboxes = [&](const std::string& prefix, const std::string& parent) {
    for (int n = 1; n <= 10; ++n) {
      item(fmMain::Numbered(prefix, n), parent, "Почтовый ящик " + std::to_string(n), ui::Ctrl(static_cast<uint16_t>(ui::kKeyF1 + n - 1)),
           true, n == 1);
    }
  };

  // Main menu: mailboxes and exit.
  menu(fmMain::miMailBox, "", "&Почтовый ящик");
  mailboxes(fmMain::miEmail, fmMain::miMailBox);
  separator("miMailBoxSeparator", fmMain::miMailBox);
  item(fmMain::miExit, fmMain::miMailBox, "Выход");

  menu(fmMain::miView, "", "Вид");
  menu(fmMain::miPanels, fmMain::miView, "Панели");
  item(fmMain::miSuperView, fmMain::miPanels, "Минимальный вид");
  item(fmMain::miSimple, fmMain::miPanels, "Простой вид");
  item(fmMain::miOriginal, fmMain::miPanels, "Оригинальный вид");
  item(fmMain::miSpecial, fmMain::miPanels, "Специальный вид");
  separator("miPanelsSeparator", fmMain::miPanels);
  item(fmMain::miMin, fmMain::miPanels, "Панель поиска Откл.");
  item(fmMain::miList, fmMain::miPanels, "Панель запросов Откл.");
  item(fmMain::miMinimize, fmMain::miView, "Минимизировать", ui::Ctrl('M'));
  item(fmMain::miStayOnTop, fmMain::miView, "Поверх окон", ui::Ctrl('A'));
  item(fmMain::miSugar, fmMain::miView, "Прилипание", ui::Ctrl('W'));
  item(fmMain::miTransp, fmMain::miView, "Прозрачность", ui::Ctrl('T'));
  separator("miViewSeparator", fmMain::miView);
  menu(fmMain::miLanguage, fmMain::miView, "Language");
  const char* const language_captions[] = {"EN", "RU", "UA", "Custom"};
  for (int n = 0; n < 4; ++n) item(fmMain::kLanguageItems[n], fmMain::miLanguage, language_captions[n], {}, true);

  menu(fmMain::miSettings, "", "&Настройки");
  item(fmMain::miProgramSettings, fmMain::miSettings, "Настройка программы", ui::Key(ui::kKeyF1 + 1));
  separator("miProgramSettingsSeparator", fmMain::miSettings);
  menu(fmMain::miAutomation, fmMain::miSettings, "Автоматический режим");
  item(fmMain::miAutoON, fmMain::miAutomation, "Активен");
  separator("miAutomationSeparator", fmMain::miAutomation);
  for (int n = 1; n <= 20; ++n) item(fmMain::Numbered(fmMain::mi, n), fmMain::miAutomation, std::to_string(n), {}, true, n == 1);
  item(fmMain::miMonitorClipboard, fmMain::miSettings, "Следить за буфером обмена", ui::Ctrl('D'));
  item(fmMain::miproxy, fmMain::miSettings, "Режим Прокси", ui::Ctrl('P'));
  item(fmMain::miAddCliptoList, fmMain::miSettings, "Накопление ссылок в листе");
  item(fmMain::miAutoDecodeUrl, fmMain::miSettings, "Автоматически декодировать URL");
  item(fmMain::miSwitchOff, fmMain::miSettings, "Отключить обработку ввода");
  separator("miCaptureSeparator", fmMain::miSettings);
  item(fmMain::miRQList1, fmMain::miSettings, "Использовать лист запросов");
  item(fmMain::miRQList2, fmMain::miSettings, "Использовать лист запросов 2", ui::Ctrl('R'));
  item(fmMain::miRLDelay, fmMain::miSettings, "Отправка с задержкой");
  item(fmMain::miHideWhenDone1, fmMain::miSettings, "Свернуть после выполнения", ui::Ctrl('O'));
  item(fmMain::miPopUps, fmMain::miSettings, "Всплывающий отчет ;)");
  separator("miSettingsSeparator", fmMain::miSettings);
  menu(fmMain::miRQSettings, fmMain::miSettings, "Настройки запроса");
  for (int n = 1; n <= 20; ++n) item(fmMain::Numbered(fmMain::miRQ, n), fmMain::miRQSettings, std::to_string(n));
  separator("miRQSeparator", fmMain::miRQSettings);
  item(fmMain::Numbered(fmMain::miRQ, 21), fmMain::miRQSettings, "Поиск 1");
  item(fmMain::Numbered(fmMain::miRQ, 22), fmMain::miRQSettings, "Поиск 2");
  separator("miRQListsSeparator", fmMain::miRQSettings);
  item(fmMain::miEdit_www4mail_list, fmMain::miRQSettings, "Редактировать список серверов");
  item(fmMain::miEdit_www2mail_list, fmMain::miRQSettings, "Редактировать список www2mail серверов ");
  item(fmMain::miEdit_www2mail_commands, fmMain::miRQSettings, "Редактировать список команд www2mail");
  item(fmMain::miEdit_www2mail_endings, fmMain::miRQSettings, "Редактировать список дополнений www2mail");

  // Fixed service requests 31..36 and the "%counter%" counter.
  menu(fmMain::miPlus, "", "&+++");
  item(fmMain::miSubscribeToStatistic, fmMain::miPlus, "Подписаться на статистику ");
  item(fmMain::miRequestStatistic, fmMain::miPlus, "Заказать статистику по серверам ");
  item(fmMain::miSubscibeToQPTGroups, fmMain::miPlus, "Конференция пользователей Quillpost");
  item(fmMain::miRequestVersion, fmMain::miPlus, "Заказать номер последней версии Quillpost ");
  item(fmMain::miRequestQuillpost, fmMain::miPlus, "Заказать последнию версию Quillpost (дистрибутив)");
  item(fmMain::miRequestUpdate, fmMain::miPlus, "Заказать последнию версию Quillpost (обновление)");
  item(fmMain::miWizardRun, fmMain::miPlus, "Помощник первого запуска");
  separator("miPlusSeparator", fmMain::miPlus);
  item(fmMain::miRequestList, fmMain::miPlus, "Лист запросов", ui::Ctrl('L'));
  item(fmMain::miRequestHistory, fmMain::miPlus, "История запросов", ui::Ctrl('H'));
  item(fmMain::miClearHistory, fmMain::miPlus, "Очистить историю запросов");
  item(fmMain::miClearInputHistory, fmMain::miPlus, "Очистить историю ввода запросов");
  separator("miHistorySeparator", fmMain::miPlus);
  menu(fmMain::miCounter, fmMain::miPlus, "Счетчик %counter%");
  item(fmMain::miCounterSet, fmMain::miCounter, "Установить (set)");
  item(fmMain::miCounterReset, fmMain::miCounter, "Сбросить (reset)");
  item(fmMain::miCounterCurrent, fmMain::miCounter, "Текущее значение:");

  menu(fmMain::miHelp, "", "Справка");
  item(fmMain::miHelpContens, fmMain::miHelp, "Справка по Quillpost", ui::Key(ui::kKeyF1));
  item(fmMain::miBugsandquestions, fmMain::miHelp, "Отзывы и предложения");
  separator("miHelpSeparator", fmMain::miHelp);
  item(fmMain::miAbout, fmMain::miHelp, "О программе");
  c.push_back(
      {.name = fmMain::miFill_Language, .kind = Kind::MenuItem, .parent = fmMain::miHelp, .caption = "Fill language", .visible = false});

  // Right-click menu of the bookmark tree.
  c.push_back({.name = fmMain::PopupMenu2, .kind = Kind::PopupMenu});
  item(fmMain::miInsertCategory, fmMain::PopupMenu2, "Вставить категорию");
  item(fmMain::miAddCategory, fmMain::PopupMenu2, "Добавить категорию");
  item(fmMain::miAddSubCategory, fmMain::PopupMenu2, "Добавить подкатегорию");
  item(fmMain::miAddRequest, fmMain::PopupMenu2, "Добавить запрос ");
  item(fmMain::miEditRequest, fmMain::PopupMenu2, "Редактировать запрос");
  item(fmMain::miRenameRequest, fmMain::PopupMenu2, "Переименовать");
  item(fmMain::miDeleteRequest, fmMain::PopupMenu2, "Удалить");

  // Right-click menu of the 22 buttons.
  c.push_back({.name = fmMain::PopupMenu3, .kind = Kind::PopupMenu});
  item(fmMain::miSendRequestList, fmMain::PopupMenu3, "Отправить запросы из листа");
  item(fmMain::miHelpPopUp, fmMain::PopupMenu3, "Запросить помощь по сервису");
  item(fmMain::miEditButtonSettings, fmMain::PopupMenu3, "Настроить параметры запроса");

  // Tray menu.
  c.push_back({.name = fmMain::PopupMenu1, .kind = Kind::PopupMenu});
  menu(fmMain::miMailBox2, fmMain::PopupMenu1, "&Почтовый ящик");
  mailboxes(fmMain::mi2Email, fmMain::miMailBox2);
  separator("miTraySeparator", fmMain::PopupMenu1);
  item(fmMain::miProxy2, fmMain::PopupMenu1, "Режим Прокси");
  item(fmMain::miRequestList2, fmMain::PopupMenu1, "Использовать лист запросов");
  item(fmMain::miMonitorclipboard2, fmMain::PopupMenu1, "Следить за буфером обмена");
  item(fmMain::miHideWhenDone2, fmMain::PopupMenu1, "Свернуть после выполнения");
  separator("miTraySeparator2", fmMain::PopupMenu1);
  item(fmMain::miShow, fmMain::PopupMenu1, "Показать");
  item(fmMain::miHide, fmMain::PopupMenu1, "Спрятать");
  item(fmMain::miHelp2, fmMain::PopupMenu1, "Справка");
  item(fmMain::miExitQuillpost, fmMain::PopupMenu1, "Выход");
  return form;
}

}  // namespace qp

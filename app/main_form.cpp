// The component table of the main window: names, kinds, Russian texts and design places.
#include "app/main_form.h"

#include <string>

namespace qp {

using ui::ControlDef;
using ui::Kind;

ui::FormDef MainFormDef() {
  ui::FormDef form{.name = "fmMain", .title = "Quillpost", .client_width = 394, .client_height = 569, .controls = {}};
  auto& c = form.controls;
  auto label = [&](const char* name, const char* caption, int left, int width, const char* hint = "") {
    c.push_back({.name = name, .kind = Kind::Label, .caption = caption, .hint = hint, .bounds = {left, 0, width, 15}});
  };
  auto item = [&](std::string name, std::string parent, std::string caption, ui::Shortcut shortcut = {}, bool radio = false,
                  bool checked = false) {
    c.push_back({.name = std::move(name), .kind = Kind::MenuItem, .parent = std::move(parent), .caption = std::move(caption),
                 .shortcut = shortcut, .radio = radio, .checked = checked});
  };
  auto menu = [&](std::string name, std::string parent, std::string caption) {
    c.push_back({.name = std::move(name), .kind = Kind::Menu, .parent = std::move(parent), .caption = std::move(caption)});
  };
  auto separator = [&](std::string name, std::string parent) {
    c.push_back({.name = std::move(name), .kind = Kind::Separator, .parent = std::move(parent)});
  };

  // The top label row.
  label("lbHookURL", "URL с броузера", 3, 92);
  label("lbMailBox", "Почтовый ящик:", 98, 98, "Активный почтовый ящик");
  label("lb1", "1", 199, 9, "Не указан");
  label("lb2", "2", 210, 9, "Не указан");
  label("lb3", "3", 221, 9, "Не указан");
  label("lbAddToFavorites", "+", 240, 10);
  label("lbFavorites", "И", 253, 14);
  label("lbEncode", "К", 270, 9, "Кодировать строку запроса");
  label("lbDecode", "Д", 280, 12, "Декодировать строку запроса");
  label("lbAdd", "Добавить в", 300, 63, "Добавить запрос в лист запросов");
  label("lbList", "лист", 365, 25, "Открыть лист запросов");

  c.push_back({.name = "cbComboBox", .kind = Kind::ComboBox, .hint = "Строка запроса/Путь к файлу/Ключевое слово поиска",
               .bounds = {4, 16, 386, 23}});
  // Request buttons: four columns, rows at 15, 45, 75, 105 and 135 inside their group.
  c.push_back({.name = "gbButtons", .kind = Kind::GroupBox, .caption = "Запрос веб-страницы/файла", .bounds = {4, 38, 386, 170}});
  for (int n = 1; n <= 20; ++n) {
    const int row = (n - 1) / 4, column = (n - 1) % 4;
    c.push_back({.name = "bb" + std::to_string(n), .kind = Kind::BitButton, .parent = "gbButtons",
                 .bounds = {8 + column * 94, 15 + row * 30, 90, 25}});
  }
  c.push_back({.name = "gbSearch", .kind = Kind::GroupBox, .caption = "Закладки и Поиск", .bounds = {4, 208, 386, 196}});
  c.push_back({.name = "bb21", .kind = Kind::BitButton, .parent = "gbSearch", .caption = "По&иск 1", .bounds = {6, 164, 185, 25}});
  c.push_back({.name = "bb22", .kind = Kind::BitButton, .parent = "gbSearch", .caption = "По&иск 2", .bounds = {195, 164, 185, 25}});
  c.push_back({.name = "gbList", .kind = Kind::GroupBox, .caption = "Лист запросов", .bounds = {4, 404, 386, 141}});
  c.push_back({.name = "JvmmList", .kind = Kind::Memo, .parent = "gbList", .bounds = {6, 16, 374, 118}});
  // The status bar follows the bottom edge; its one panel is 300 pixels wide.
  c.push_back({.name = "StatusBar", .kind = Kind::StatusBar, .bounds = {0, 549, 300, 20}});
  // Send progress and the cancel button lie over the status bar.
  c.push_back({.name = "ProgressBar1", .kind = Kind::ProgressBar, .bounds = {224, 555, 133, 10}});
  // The automatic-mode button as a control, for the mini window's send button.
  c.push_back({.name = "sbGO", .kind = Kind::Button, .bounds = {0, 0, 0, 0}, .visible = false});
  c.push_back({.name = "btCsend", .kind = Kind::Button, .caption = "X", .hint = "Отмена отправки запроса", .bounds = {372, 553, 15, 14}});

  // The ten mailbox profiles, in the main menu and again in the tray menu.
  auto mailboxes = [&](const std::string& prefix, const std::string& parent) {
    for (int n = 1; n <= 10; ++n) {
      item(prefix + std::to_string(n), parent, "Почтовый ящик " + std::to_string(n),
           ui::Ctrl(static_cast<uint16_t>(ui::kKeyF1 + n - 1)), true, n == 1);
    }
  };

  // Main menu: mailboxes and exit.
  menu("miMailBox", "", "&Почтовый ящик");
  mailboxes("miEmail", "miMailBox");
  separator("miMailBoxSeparator", "miMailBox");
  item("miExit", "miMailBox", "Выход");

  menu("miView", "", "Вид");
  menu("miLanguage", "miView", "Language");
  const char* const language_captions[] = {"EN", "RU", "UA", "Custom"};
  for (int n = 0; n < 4; ++n) item(kLanguageItems[n], "miLanguage", language_captions[n], {}, true);

  menu("miSettings", "", "&Настройки");
  menu("miAutomation", "miSettings", "Автоматический режим");
  item("miAutoON", "miAutomation", "Активен");
  separator("miAutomationSeparator", "miAutomation");
  for (int n = 1; n <= 20; ++n) item("mi" + std::to_string(n), "miAutomation", std::to_string(n), {}, true, n == 1);
  item("miMonitorClipboard", "miSettings", "Следить за буфером обмена", ui::Ctrl('D'));
  item("miproxy", "miSettings", "Режим Прокси", ui::Ctrl('P'));
  item("miAddCliptoList", "miSettings", "Накопление ссылок в листе");
  item("miAutoDecodeUrl", "miSettings", "Автоматически декодировать URL");
  item("miSwitchOff", "miSettings", "Отключить обработку ввода");
  separator("miCaptureSeparator", "miSettings");
  item("miRQList1", "miSettings", "Использовать лист запросов");
  item("miRQList2", "miSettings", "Использовать лист запросов 2", ui::Ctrl('R'));
  item("miRLDelay", "miSettings", "Отправка с задержкой");
  separator("miSettingsSeparator", "miSettings");
  menu("miRQSettings", "miSettings", "Настройки запроса");
  for (int n = 1; n <= 20; ++n) item("miRQ" + std::to_string(n), "miRQSettings", std::to_string(n));
  separator("miRQSeparator", "miRQSettings");
  item("miRQ21", "miRQSettings", "Поиск 1");
  item("miRQ22", "miRQSettings", "Поиск 2");

  // Fixed service requests 31..36 and the "%counter%" counter.
  menu("miPlus", "", "&+++");
  item("miSubscribeToStatistic", "miPlus", "Подписаться на статистику ");
  item("miRequestStatistic", "miPlus", "Заказать статистику по серверам ");
  item("miSubscibeToQPTGroups", "miPlus", "Конференция пользователей Quillpost");
  item("miRequestVersion", "miPlus", "Заказать номер последней версии Quillpost ");
  item("miRequestQuillpost", "miPlus", "Заказать последнию версию Quillpost (дистрибутив)");
  item("miRequestUpdate", "miPlus", "Заказать последнию версию Quillpost (обновление)");
  separator("miPlusSeparator", "miPlus");
  item("miRequestList", "miPlus", "Лист запросов", ui::Ctrl('L'));
  item("miRequestHistory", "miPlus", "История запросов", ui::Ctrl('H'));
  item("miClearHistory", "miPlus", "Очистить историю запросов");
  item("miClearInputHistory", "miPlus", "Очистить историю ввода запросов");
  separator("miHistorySeparator", "miPlus");
  menu("miCounter", "miPlus", "Счетчик %counter%");
  item("miCounterSet", "miCounter", "Установить (set)");
  item("miCounterReset", "miCounter", "Сбросить (reset)");
  item("miCounterCurrent", "miCounter", "Текущее значение:");

  // Right-click menu of the 22 buttons.
  c.push_back({.name = "PopupMenu3", .kind = Kind::PopupMenu});
  item("miSendRequestList", "PopupMenu3", "Отправить запросы из листа");
  item("miHelpPopUp", "PopupMenu3", "Запросить помощь по сервису");
  item("miEditButtonSettings", "PopupMenu3", "Настроить параметры запроса");

  // Tray menu.
  c.push_back({.name = "PopupMenu1", .kind = Kind::PopupMenu});
  menu("miMailBox2", "PopupMenu1", "&Почтовый ящик");
  mailboxes("mi2Email", "miMailBox2");
  separator("miTraySeparator", "PopupMenu1");
  item("miProxy2", "PopupMenu1", "Режим Прокси");
  item("miRequestList2", "PopupMenu1", "Использовать лист запросов");
  item("miMonitorclipboard2", "PopupMenu1", "Следить за буфером обмена");
  item("miExitQuillpost", "PopupMenu1", "Выход");
  return form;
}

}  // namespace qp

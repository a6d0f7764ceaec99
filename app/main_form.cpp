// The component table of the main window: names, kinds, Russian texts and design places.
#include "app/main_form.h"

namespace qp {

using ui::ControlDef;
using ui::Kind;

ui::FormDef MainFormDef() {
  ui::FormDef form{.name = "fmMain", .title = "Quillpost", .client_width = 394, .client_height = 569, .controls = {}};
  auto label = [](const char* name, const char* caption, int left, int width, const char* hint = "") {
    return ControlDef{.name = name, .kind = Kind::Label, .caption = caption, .hint = hint, .bounds = {left, 0, width, 15}};
  };
  form.controls = {
      // The top label row.
      label("lbHookURL", "URL с броузера", 3, 92),
      label("lbMailBox", "Почтовый ящик:", 98, 98, "Активный почтовый ящик"),
      label("lb1", "1", 199, 9, "Не указан"),
      label("lb2", "2", 210, 9, "Не указан"),
      label("lb3", "3", 221, 9, "Не указан"),
      label("lbAddToFavorites", "+", 240, 10),
      label("lbFavorites", "И", 253, 14),
      label("lbEncode", "К", 270, 9),
      label("lbDecode", "Д", 280, 12),
      label("lbAdd", "Добавить в", 300, 63),
      label("lbList", "лист", 365, 25),

      {.name = "cbComboBox", .kind = Kind::ComboBox, .bounds = {4, 16, 386, 23}},
      {.name = "gbButtons", .kind = Kind::GroupBox, .caption = "Запрос веб-страницы/файла", .bounds = {4, 38, 386, 170}},
      {.name = "gbSearch", .kind = Kind::GroupBox, .caption = "Закладки и Поиск", .bounds = {4, 208, 386, 196}},
      {.name = "gbList", .kind = Kind::GroupBox, .caption = "Лист запросов", .bounds = {4, 404, 386, 141}},
      // The status bar follows the bottom edge; its one panel is 300 pixels wide.
      {.name = "StatusBar", .kind = Kind::StatusBar, .bounds = {0, 549, 300, 20}},

      // Main menu.
      {.name = "miMailBox", .kind = Kind::Menu, .caption = "&Почтовый ящик"},
      {.name = "miExit", .kind = Kind::MenuItem, .parent = "miMailBox", .caption = "Выход"},
      {.name = "miView", .kind = Kind::Menu, .caption = "Вид"},
      {.name = "miLanguage", .kind = Kind::Menu, .parent = "miView", .caption = "Language"},
      {.name = "miLang1", .kind = Kind::MenuItem, .parent = "miLanguage", .caption = "EN", .radio = true},
      {.name = "miLang2", .kind = Kind::MenuItem, .parent = "miLanguage", .caption = "RU", .radio = true},
      {.name = "miLang3", .kind = Kind::MenuItem, .parent = "miLanguage", .caption = "UA", .radio = true},
      {.name = "miLang4", .kind = Kind::MenuItem, .parent = "miLanguage", .caption = "Custom", .radio = true},

      // Tray menu.
      {.name = "PopupMenu1", .kind = Kind::PopupMenu},
      {.name = "miExitQuillpost", .kind = Kind::MenuItem, .parent = "PopupMenu1", .caption = "Выход"},
  };
  return form;
}

}  // namespace qp

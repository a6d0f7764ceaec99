// The button editor and the request builders.
#include "dialogs/button_editor_win.h"

#include <exception>
#include <string>

#include "base/file_io.h"
#include "base/lines.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "lang/language.h"
#include "request/buttons.h"
#include "ui/message_box_win.h"
#include "ui/message_loop_win.h"
#include "ui/module_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

using ui::Kind;

// The template elements: button, caption, the text each puts at the caret.
struct TemplateElement {
  const char* name;
  const char* caption;
  const char* text;
};
constexpr TemplateElement kTemplateElements[] = {{"bbwww4mail", "WWW4MAIL", "send %request%"},
                                                 {"bbRe", "Запрос/Ссылка", "%request%"},
                                                 {"bbPass", "Пароль", "%password%"},
                                                 {"bbSize", "Размер", "%size%"},
                                                 {"Button2", "Имя файла", "%filename%"},
                                                 {"Button1", "Хост", "%host%"},
                                                 {"Button3", "Путь", "%dir%"}};

ui::FormDef ButtonDef() {
  ui::FormDef form{
      .name = "fmButton", .title = "Редактирование параметров кнопки и запроса", .client_width = 520, .client_height = 544, .controls = {}};
  auto& c = form.controls;
  c.push_back({.name = "lbName", .kind = Kind::Label, .caption = "Название кнопки", .bounds = {8, 8, 160, 16}});
  c.push_back({.name = "edName", .kind = Kind::Edit, .bounds = {8, 26, 160, 22}});
  c.push_back({.name = "bbExample", .kind = Kind::Button, .hint = "Так кнопка выглядит в главном окне", .bounds = {178, 24, 90, 25}});
  c.push_back({.name = "lbComment", .kind = Kind::Label, .caption = "Комментарий (Описание)", .bounds = {8, 56, 300, 16}});
  c.push_back({.name = "edComment", .kind = Kind::Edit, .bounds = {8, 74, 504, 22}});
  c.push_back({.name = "gbService", .kind = Kind::GroupBox, .caption = "Адрес сервиса", .bounds = {8, 102, 504, 50}});
  c.push_back({.name = "cbService", .kind = Kind::ComboBox, .parent = "gbService", .bounds = {8, 18, 396, 22}});
  c.push_back({.name = "bbEditService",
               .kind = Kind::Button,
               .parent = "gbService",
               .caption = "...",
               .hint = "Редактировать список серверов",
               .bounds = {410, 17, 40, 24}});
  c.push_back({.name = "bbHelp",
               .kind = Kind::Button,
               .parent = "gbService",
               .caption = "?",
               .hint = "Запросить помощь",
               .bounds = {456, 17, 40, 24}});
  c.push_back({.name = "gbSubject", .kind = Kind::GroupBox, .caption = "Тема запроса", .bounds = {8, 156, 504, 50}});
  c.push_back(
      {.name = "cbSubject", .kind = Kind::ComboBox, .parent = "gbSubject", .bounds = {8, 18, 488, 22}, .items = {"%request%", "help"}});
  c.push_back({.name = "gbMailBox", .kind = Kind::GroupBox, .caption = "Почтовый ящик", .bounds = {8, 210, 250, 50}});
  c.push_back({.name = "cbMailBoxSelected", .kind = Kind::ComboBox, .parent = "gbMailBox", .bounds = {8, 18, 234, 22}});
  c.push_back({.name = "gbConstructor", .kind = Kind::GroupBox, .caption = "Конструктор", .bounds = {266, 210, 246, 50}});
  c.push_back({.name = "bbWWW2MAIL", .kind = Kind::Button, .parent = "gbConstructor", .caption = "WWW2MAIL", .bounds = {8, 17, 110, 25}});
  c.push_back({.name = "bbFTP2MAIL", .kind = Kind::Button, .parent = "gbConstructor", .caption = "FTP2MAIL", .bounds = {128, 17, 110, 25}});
  c.push_back({.name = "cbMultiRequest",
               .kind = Kind::CheckBox,
               .caption = "Отправка листа запросов одним письмом. (команды в теле запроса)",
               .bounds = {8, 266, 504, 20}});
  c.push_back({.name = "lbMultiRequest",
               .kind = Kind::Label,
               .caption = " (Сервис поддерживает обработку нескольких запросов в одном письме)",
               .bounds = {24, 286, 488, 16}});
  c.push_back({.name = "gbBody", .kind = Kind::GroupBox, .caption = "Тело запроса", .bounds = {8, 306, 360, 196}});
  c.push_back({.name = "mmBody", .kind = Kind::Memo, .parent = "gbBody", .bounds = {8, 18, 344, 170}});
  c.push_back({.name = "gbTemplate", .kind = Kind::GroupBox, .caption = "Элементы шаблона", .bounds = {376, 306, 136, 196}});
  for (int i = 0; i < static_cast<int>(std::size(kTemplateElements)); ++i) {
    c.push_back({.name = kTemplateElements[i].name,
                 .kind = Kind::Button,
                 .parent = "gbTemplate",
                 .caption = kTemplateElements[i].caption,
                 .hint = kTemplateElements[i].text,
                 .bounds = {8, 18 + i * 25, 120, 23}});
  }
  c.push_back({.name = "bbSave", .kind = Kind::Button, .caption = "Сохранить изменения и выйти", .bounds = {160, 510, 200, 26}});
  c.push_back({.name = "bbCancel", .kind = Kind::Button, .caption = "Выйти без изменений", .bounds = {368, 510, 144, 26}});
  return form;
}

constexpr char kPages[] = "pcConstructor";

ui::FormDef ConstructorDef() {
  ui::FormDef form{.name = "fmConstructor", .title = "Помошник", .client_width = 408, .client_height = 306, .controls = {}};
  auto& c = form.controls;
  auto label = [&](const char* name, const char* parent, const char* caption, ui::Rect r) {
    c.push_back({.name = name, .kind = Kind::Label, .parent = parent, .caption = caption, .bounds = r});
  };
  // Its pages show one at a time, without tabs.
  c.push_back({.name = kPages, .kind = Kind::PageControl, .bounds = {0, 0, 408, 306}, .visible = false});
  c.push_back({.name = "ts2MAIL", .kind = Kind::TabSheet, .parent = kPages, .caption = "WWW2MAIL", .bounds = {0, 0, 408, 306}});
  label("lbService", "ts2MAIL", "Service", {8, 10, 90, 16});
  c.push_back({.name = "cbService", .kind = Kind::ComboBox, .parent = "ts2MAIL", .bounds = {100, 6, 300, 22}});
  label("lbCom", "ts2MAIL", "Команда:", {8, 40, 90, 16});
  c.push_back({.name = "cbCom", .kind = Kind::ComboBox, .parent = "ts2MAIL", .bounds = {100, 36, 300, 22}, .max_length = 256});
  label("lbEnd", "ts2MAIL", "Окончание", {8, 70, 90, 16});
  c.push_back({.name = "cbEnd", .kind = Kind::ComboBox, .parent = "ts2MAIL", .bounds = {100, 66, 300, 22}, .max_length = 256});
  c.push_back({.name = "rgRequestIn",
               .kind = Kind::RadioGroup,
               .parent = "ts2MAIL",
               .caption = "Строка запроса:",
               .bounds = {8, 98, 392, 60},
               .items = {"Тема письма", "Тело письма"}});
  c.push_back({.name = "cbReqConst",
               .kind = Kind::CheckBox,
               .parent = "ts2MAIL",
               .caption = "Всегда использовать следующую строку запроса:",
               .bounds = {8, 166, 392, 20}});
  c.push_back({.name = "cbReq", .kind = Kind::ComboBox, .parent = "ts2MAIL", .bounds = {8, 190, 392, 22}});
  c.push_back({.name = "bbOpenList", .kind = Kind::Button, .parent = "ts2MAIL", .caption = "Список серверов", .bounds = {8, 272, 134, 26}});
  c.push_back(
      {.name = "bbW2Msave", .kind = Kind::Button, .parent = "ts2MAIL", .caption = "Сохранить изменения", .bounds = {150, 272, 150, 26}});
  c.push_back({.name = "bbCancel", .kind = Kind::Button, .parent = "ts2MAIL", .caption = "&Отмена", .bounds = {308, 272, 92, 26}});

  c.push_back({.name = "tsFTP", .kind = Kind::TabSheet, .parent = kPages, .caption = "FTP2MAIL", .bounds = {0, 0, 408, 306}});
  label("lbFTPService", "tsFTP", "Service", {8, 10, 90, 16});
  c.push_back({.name = "cbFTPService", .kind = Kind::ComboBox, .parent = "tsFTP", .bounds = {100, 6, 250, 22}});
  c.push_back({.name = "bbEditService",
               .kind = Kind::Button,
               .parent = "tsFTP",
               .caption = "...",
               .hint = "Редактировать список серверов",
               .bounds = {356, 5, 44, 24}});
  c.push_back({.name = "rgCommand",
               .kind = Kind::RadioGroup,
               .parent = "tsFTP",
               .caption = "Задание",
               .bounds = {8, 36, 392, 76},
               .items = {"Получить файл (get)", "Cодержание директории (dir)", "Краткое содержание директории (ls)"}});
  c.push_back({.name = "rgMode",
               .kind = Kind::RadioGroup,
               .parent = "tsFTP",
               .caption = "Режим",
               .bounds = {8, 116, 120, 76},
               .items = {"binary", "ascii"}});
  c.push_back({.name = "rgCompress",
               .kind = Kind::RadioGroup,
               .parent = "tsFTP",
               .caption = "Сжатие",
               .bounds = {136, 116, 130, 76},
               .items = {"compress", "gzip", "bzip"}});
  c.push_back({.name = "rgCode",
               .kind = Kind::RadioGroup,
               .parent = "tsFTP",
               .caption = "Кодирование",
               .bounds = {274, 116, 126, 76},
               .items = {"mime", "uuencode", "btoa"}});
  c.push_back(
      {.name = "gbSize", .kind = Kind::GroupBox, .parent = "tsFTP", .caption = "Максимальный размер файла", .bounds = {8, 196, 392, 70}});
  c.push_back({.name = "edSize", .kind = Kind::Edit, .parent = "gbSize", .caption = "500", .bounds = {8, 26, 80, 22}, .max_length = 256});
  c.push_back({.name = "rgSize",
               .kind = Kind::RadioGroup,
               .parent = "gbSize",
               .caption = "Выбор",
               .bounds = {96, 10, 288, 56},
               .items = {"Кбайт", "Мбайт"}});
  c.push_back(
      {.name = "bbSave2", .kind = Kind::Button, .parent = "tsFTP", .caption = "Сохранить изменения", .bounds = {150, 272, 150, 26}});
  c.push_back({.name = "bbCancel2", .kind = Kind::Button, .parent = "tsFTP", .caption = "&Отмена", .bounds = {308, 272, 92, 26}});
  return form;
}

// A list file's entries; nullopt when it is missing.
std::optional<std::vector<std::string>> ReadList(const char* name) {
  const TextFileState state = ReadTextFile(ProgramFile(name), SystemCodec());
  if (!state.exists) return std::nullopt;
  return ListEntries(state.text.utf8);
}

}  // namespace

void OpenListFile(const char* name) { ui::ShellOpen(ProgramFile(name)); }  // a missing file or editor is the shell's to tell

// ---- the editor

TfmButton::TfmButton(const IniFile& settings) : Window(ButtonDef()), settings_(settings) { BindCommands(); }

void TfmButton::BindCommands() {
  ui::Commands& c = Commands();
  c.On("bbSave", [this] { bbSaveClick(); })
      .On("bbCancel", [this] { Close(); })
      .On("bbEditService", [] { OpenListFile("www4mail.ini"); })
      .On("bbHelp", [this] { ui::ShellOpen("mailto:" + ui::GetText(ControlHwnd("cbService")) + "?subject=help&body=help"); })
      .On("bbWWW2MAIL", [this] { Construct(TfmConstructor::Page::Www2Mail); })
      .On("bbFTP2MAIL", [this] { Construct(TfmConstructor::Page::Ftp2Mail); })
      .OnNotify("edName", [this](int code) {
        if (code == EN_CHANGE) ui::SetText(ControlHwnd("bbExample"), ui::GetText(ControlHwnd("edName")));
      });
  for (const TemplateElement& element : kTemplateElements) {
    c.On(element.name, [this, text = std::string(element.text)] { InsertTemplate(text); });
  }
}

bool TfmButton::Open(HWND owner, int number) {
  number_ = number;
  if (!Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 0, 0)) return false;
  ui::CenterWindow(Hwnd(), owner);
  SendMessageW(Hwnd(), DM_SETDEFID, GetDlgCtrlID(ControlHwnd("bbSave")), 0);
  ShowWindow(Hwnd(), SW_SHOW);
  Load();
  SetForegroundWindow(Hwnd());
  return true;
}

void TfmButton::ShowModal(HWND owner, int number) {
  if (!Open(owner, number)) return;
  RunModalAndDestroy(owner);
}

void TfmButton::OnShow() {
  if (const IniFile* file = CurrentLanguageFile()) TranslateWindow(*this, *file);
}

void TfmButton::Load() {
  ui::SetComboItems(ControlHwnd("cbMailBoxSelected"), MailboxChoices(settings_));
  try {
    const SettingsFile buttons(ProgramFile("Buttons.ini"), SystemCodec());
    Show(LoadButtonFields(buttons, number_));
  } catch (const std::exception& e) {
    SetService(std::string("Error loading button settings : ") + e.what());
  }
  if (const auto services = ReadList("www4mail.ini")) ui::SetComboItems(ControlHwnd("cbService"), *services);
}

void TfmButton::Show(const ButtonFields& f) {
  ui::SetText(ControlHwnd("edName"), f.name);
  ui::SetText(ControlHwnd("bbExample"), f.name);
  ui::SetText(ControlHwnd("edComment"), f.comment);
  SetService(f.service);
  SetSubject(f.subject);
  ui::SetText(ControlHwnd("cbMailBoxSelected"), f.mailbox);
  Get("cbMultiRequest").SetChecked(f.multi_request);
  SetBody(f.body);
}

ButtonFields TfmButton::Fields() const {
  ButtonFields f;
  f.name = ui::GetText(ControlHwnd("edName"));
  f.comment = ui::GetText(ControlHwnd("edComment"));
  f.service = ui::GetText(ControlHwnd("cbService"));
  f.subject = ui::GetText(ControlHwnd("cbSubject"));
  f.mailbox = ui::GetText(ControlHwnd("cbMailBoxSelected"));
  f.multi_request = SendMessageW(ControlHwnd("cbMultiRequest"), BM_GETCHECK, 0, 0) == BST_CHECKED;
  const std::string body = ui::GetText(ControlHwnd("mmBody"));
  for (const std::string_view line : SplitLines(body)) f.body.emplace_back(line);
  return f;
}

void TfmButton::SetService(const std::string& text) { ui::SetText(ControlHwnd("cbService"), text); }
void TfmButton::SetSubject(const std::string& text) { ui::SetText(ControlHwnd("cbSubject"), text); }
void TfmButton::SetBody(const std::vector<std::string>& lines) { ui::SetText(ControlHwnd("mmBody"), JoinLines(lines)); }

void TfmButton::InsertTemplate(const std::string& text) {
  HWND body = ControlHwnd("mmBody");
  DWORD start = 0;
  SendMessageW(body, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessageW(body, EM_SETSEL, start, start);  // inserted, nothing selected replaced
  SendMessageW(body, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ui::Widen(text).c_str()));
  SetFocus(body);
}

void TfmButton::bbSaveClick() {
  const std::string path = ProgramFile("Buttons.ini");
  // Written back as it is kept: its encoding, its comments, every other button. One that is
  // there but cannot be read whole is left as it is: saved over, it would hold this button alone.
  const TextFileState now = ReadTextFile(path, SystemCodec());
  if (!now.whole) {
    ui::ShowMessage(Hwnd(), CannotReadMessage(path), MB_ICONERROR | MB_OK);
    return;
  }
  const FileText text = now.exists ? now.text : FileText{"", TextEncoding::Utf8Bom};
  const std::string saved = SaveButtonFields(text.utf8, number_, Fields());
  if (!WriteFileAtomically(path, EncodeFileText(saved, text.encoding, SystemCodec()))) {
    ui::ShowMessage(Hwnd(), CannotWriteMessage(path), MB_ICONERROR | MB_OK);
    return;
  }
  Close();
}

void TfmButton::Construct(TfmConstructor::Page page) {
  TfmConstructor constructor(*this, page);
  constructor.ShowModal(Hwnd());
}

LRESULT TfmButton::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CLOSE) {
    Close();  // as "Выйти без изменений"
    return 0;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

// ---- the builders

TfmConstructor::TfmConstructor(TfmButton& editor, Page page) : Window(ConstructorDef()), editor_(editor), page_(page) {
  Commands()
      .On("bbW2Msave", [this] { bbW2MsaveClick(); })
      .On("bbSave2", [this] { bbSave2Click(); })
      .On("bbCancel", [this] { Close(); })
      .On("bbCancel2", [this] { Close(); })
      .On("bbOpenList", [] { OpenListFile("www2mail.ini"); })
      .On("bbEditService", [] { OpenListFile("ftp2mail.ini"); });
}

bool TfmConstructor::Open(HWND owner) {
  // Every list it offers must be there; the first one missing is named.
  const std::vector<std::pair<const char*, const char*>> lists =
      page_ == Page::Www2Mail ? std::vector<std::pair<const char*, const char*>>{{"cbService", "www2mail.ini"},
                                                                                 {"cbCom", "commands.ini"},
                                                                                 {"cbEnd", "attr.ini"},
                                                                                 {"cbReq", "recent.cfg"}}
                              : std::vector<std::pair<const char*, const char*>>{{"cbFTPService", "ftp2mail.ini"}};
  std::vector<std::vector<std::string>> entries;
  for (const auto& [list, file] : lists) {
    auto read = ReadList(file);
    if (!read) {
      ui::ShowMessage(owner, FileNotFoundMessage(ProgramFile(file)), MB_ICONERROR | MB_OK);
      return false;
    }
    entries.push_back(std::move(*read));
  }
  if (!Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 0, 0)) return false;
  for (std::size_t i = 0; i < lists.size(); ++i) Fill(lists[i].first, entries[i]);
  ShowPage(kPages, page_ == Page::Www2Mail ? 0 : 1);
  for (const char* group : {"rgRequestIn", "rgCommand", "rgMode", "rgCompress", "rgCode", "rgSize"}) Get(group).SetItemIndex(0);
  ui::CenterWindow(Hwnd(), owner);
  ShowWindow(Hwnd(), SW_SHOW);
  SetForegroundWindow(Hwnd());
  return true;
}

bool TfmConstructor::ShowModal(HWND owner) {
  if (!Open(owner)) return false;
  RunModalAndDestroy(owner);
  return true;
}

void TfmConstructor::OnShow() {
  if (const IniFile* file = CurrentLanguageFile()) TranslateWindow(*this, *file);
}

void TfmConstructor::Fill(const char* list, const std::vector<std::string>& entries) {
  HWND box = ControlHwnd(list);
  ui::SetComboItems(box, entries);
  if (!entries.empty()) SendMessageW(box, CB_SETCURSEL, 0, 0);
}

void TfmConstructor::bbW2MsaveClick() {
  const std::string fixed = ui::GetText(ControlHwnd("cbReq"));
  const bool always = SendMessageW(ControlHwnd("cbReqConst"), BM_GETCHECK, 0, 0) == BST_CHECKED;
  const std::string request = WwwRequest(ui::GetText(ControlHwnd("cbCom")), always ? &fixed : nullptr, ui::GetText(ControlHwnd("cbEnd")));
  if (Get("rgRequestIn").ItemIndex() == 1) {
    editor_.SetBody({request});
    editor_.SetSubject("");
  } else {
    editor_.SetSubject(request);
    editor_.SetBody({});
  }
  editor_.SetService(ui::GetText(ControlHwnd("cbService")));
  Close();
}

void TfmConstructor::bbSave2Click() {
  FtpChoices choices{.command = Get("rgCommand").ItemIndex(),
                     .mode = Get("rgMode").ItemIndex(),
                     .compress = Get("rgCompress").ItemIndex(),
                     .code = Get("rgCode").ItemIndex(),
                     .size = ui::GetText(ControlHwnd("edSize")),
                     .size_unit = Get("rgSize").ItemIndex()};
  editor_.SetService(ui::GetText(ControlHwnd("cbFTPService")));
  editor_.SetSubject("");
  editor_.SetBody(FtpBody(choices));
  Close();
}

LRESULT TfmConstructor::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CLOSE) {
    Close();
    return 0;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp

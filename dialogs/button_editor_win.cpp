// The button editor and the request builders.
#include "dialogs/button_editor_win.h"

#include <exception>
#include <string>

#include "base/file_io.h"
#include "base/lines.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "dialogs/button_form.h"
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
constexpr TemplateElement kTemplateElements[] = {{fmButton::bbwww4mail, "WWW4MAIL", "send %request%"},
                                                 {fmButton::bbRe, "Запрос/Ссылка", "%request%"},
                                                 {fmButton::bbPass, "Пароль", "%password%"},
                                                 {fmButton::bbSize, "Размер", "%size%"},
                                                 {fmButton::Button2, "Имя файла", "%filename%"},
                                                 {fmButton::Button1, "Хост", "%host%"},
                                                 {fmButton::Button3, "Путь", "%dir%"}};

ui::FormDef ButtonDef() {
  ui::FormDef form{
      .name = "fmButton", .title = "Редактирование параметров кнопки и запроса", .client_width = 520, .client_height = 544, .controls = {}};
  auto& c = form.controls;
  c.push_back({.name = fmButton::lbName, .kind = Kind::Label, .caption = "Название кнопки", .bounds = {8, 8, 160, 16}});
  c.push_back({.name = fmButton::edName, .kind = Kind::Edit, .bounds = {8, 26, 160, 22}});
  c.push_back(
      {.name = fmButton::bbExample, .kind = Kind::Button, .hint = "Так кнопка выглядит в главном окне", .bounds = {178, 24, 90, 25}});
  c.push_back({.name = fmButton::lbComment, .kind = Kind::Label, .caption = "Комментарий (Описание)", .bounds = {8, 56, 300, 16}});
  c.push_back({.name = fmButton::edComment, .kind = Kind::Edit, .bounds = {8, 74, 504, 22}});
  c.push_back({.name = fmButton::gbService, .kind = Kind::GroupBox, .caption = "Адрес сервиса", .bounds = {8, 102, 504, 50}});
  c.push_back({.name = fmButton::cbService, .kind = Kind::ComboBox, .parent = fmButton::gbService, .bounds = {8, 18, 396, 22}});
  c.push_back({.name = fmButton::bbEditService,
               .kind = Kind::Button,
               .parent = fmButton::gbService,
               .caption = "...",
               .hint = "Редактировать список серверов",
               .bounds = {410, 17, 40, 24}});
  c.push_back({.name = fmButton::bbHelp,
               .kind = Kind::Button,
               .parent = fmButton::gbService,
               .caption = "?",
               .hint = "Запросить помощь",
               .bounds = {456, 17, 40, 24}});
  c.push_back({.name = fmButton::gbSubject, .kind = Kind::GroupBox, .caption = "Тема запроса", .bounds = {8, 156, 504, 50}});
  c.push_back({.name = fmButton::cbSubject,
               .kind = Kind::ComboBox,
               .parent = fmButton::gbSubject,
               .bounds = {8, 18, 488, 22},
               .items = {"%request%", "help"}});
  c.push_back({.name = fmButton::gbMailBox, .kind = Kind::GroupBox, .caption = "Почтовый ящик", .bounds = {8, 210, 250, 50}});
  c.push_back({.name = fmButton::cbMailBoxSelected, .kind = Kind::ComboBox, .parent = fmButton::gbMailBox, .bounds = {8, 18, 234, 22}});
  c.push_back({.name = fmButton::gbConstructor, .kind = Kind::GroupBox, .caption = "Конструктор", .bounds = {266, 210, 246, 50}});
  c.push_back({.name = fmButton::bbWWW2MAIL,
               .kind = Kind::Button,
               .parent = fmButton::gbConstructor,
               .caption = "WWW2MAIL",
               .bounds = {8, 17, 110, 25}});
  c.push_back({.name = fmButton::bbFTP2MAIL,
               .kind = Kind::Button,
               .parent = fmButton::gbConstructor,
               .caption = "FTP2MAIL",
               .bounds = {128, 17, 110, 25}});
  c.push_back({.name = fmButton::cbMultiRequest,
               .kind = Kind::CheckBox,
               .caption = "Отправка листа запросов одним письмом. (команды в теле запроса)",
               .bounds = {8, 266, 504, 20}});
  c.push_back({.name = fmButton::lbMultiRequest,
               .kind = Kind::Label,
               .caption = " (Сервис поддерживает обработку нескольких запросов в одном письме)",
               .bounds = {24, 286, 488, 16}});
  c.push_back({.name = fmButton::gbBody, .kind = Kind::GroupBox, .caption = "Тело запроса", .bounds = {8, 306, 360, 196}});
  c.push_back({.name = fmButton::mmBody, .kind = Kind::Memo, .parent = fmButton::gbBody, .bounds = {8, 18, 344, 170}});
  c.push_back({.name = fmButton::gbTemplate, .kind = Kind::GroupBox, .caption = "Элементы шаблона", .bounds = {376, 306, 136, 196}});
  for (int i = 0; i < static_cast<int>(std::size(kTemplateElements)); ++i) {
    c.push_back({.name = kTemplateElements[i].name,
                 .kind = Kind::Button,
                 .parent = fmButton::gbTemplate,
                 .caption = kTemplateElements[i].caption,
                 .hint = kTemplateElements[i].text,
                 .bounds = {8, 18 + i * 25, 120, 23}});
  }
  c.push_back({.name = fmButton::bbSave, .kind = Kind::Button, .caption = "Сохранить изменения и выйти", .bounds = {160, 510, 200, 26}});
  c.push_back({.name = fmButton::bbCancel, .kind = Kind::Button, .caption = "Выйти без изменений", .bounds = {368, 510, 144, 26}});
  return form;
}

ui::FormDef ConstructorDef() {
  ui::FormDef form{.name = "fmConstructor", .title = "Помошник", .client_width = 408, .client_height = 306, .controls = {}};
  auto& c = form.controls;
  auto label = [&](const char* name, const char* parent, const char* caption, ui::Rect r) {
    c.push_back({.name = name, .kind = Kind::Label, .parent = parent, .caption = caption, .bounds = r});
  };
  // Its pages show one at a time, without tabs.
  c.push_back({.name = fmConstructor::pcConstructor, .kind = Kind::PageControl, .bounds = {0, 0, 408, 306}, .visible = false});
  c.push_back({.name = fmConstructor::ts2MAIL,
               .kind = Kind::TabSheet,
               .parent = fmConstructor::pcConstructor,
               .caption = "WWW2MAIL",
               .bounds = {0, 0, 408, 306}});
  label(fmConstructor::lbService, fmConstructor::ts2MAIL, "Service", {8, 10, 90, 16});
  c.push_back({.name = fmConstructor::cbService, .kind = Kind::ComboBox, .parent = fmConstructor::ts2MAIL, .bounds = {100, 6, 300, 22}});
  label(fmConstructor::lbCom, fmConstructor::ts2MAIL, "Команда:", {8, 40, 90, 16});
  c.push_back({.name = fmConstructor::cbCom,
               .kind = Kind::ComboBox,
               .parent = fmConstructor::ts2MAIL,
               .bounds = {100, 36, 300, 22},
               .max_length = 256});
  label(fmConstructor::lbEnd, fmConstructor::ts2MAIL, "Окончание", {8, 70, 90, 16});
  c.push_back({.name = fmConstructor::cbEnd,
               .kind = Kind::ComboBox,
               .parent = fmConstructor::ts2MAIL,
               .bounds = {100, 66, 300, 22},
               .max_length = 256});
  c.push_back({.name = fmConstructor::rgRequestIn,
               .kind = Kind::RadioGroup,
               .parent = fmConstructor::ts2MAIL,
               .caption = "Строка запроса:",
               .bounds = {8, 98, 392, 60},
               .items = {"Тема письма", "Тело письма"}});
  c.push_back({.name = fmConstructor::cbReqConst,
               .kind = Kind::CheckBox,
               .parent = fmConstructor::ts2MAIL,
               .caption = "Всегда использовать следующую строку запроса:",
               .bounds = {8, 166, 392, 20}});
  c.push_back({.name = fmConstructor::cbReq, .kind = Kind::ComboBox, .parent = fmConstructor::ts2MAIL, .bounds = {8, 190, 392, 22}});
  c.push_back({.name = fmConstructor::bbOpenList,
               .kind = Kind::Button,
               .parent = fmConstructor::ts2MAIL,
               .caption = "Список серверов",
               .bounds = {8, 272, 134, 26}});
  c.push_back({.name = fmConstructor::bbW2Msave,
               .kind = Kind::Button,
               .parent = fmConstructor::ts2MAIL,
               .caption = "Сохранить изменения",
               .bounds = {150, 272, 150, 26}});
  c.push_back({.name = fmConstructor::bbCancel,
               .kind = Kind::Button,
               .parent = fmConstructor::ts2MAIL,
               .caption = "&Отмена",
               .bounds = {308, 272, 92, 26}});

  c.push_back({.name = fmConstructor::tsFTP,
               .kind = Kind::TabSheet,
               .parent = fmConstructor::pcConstructor,
               .caption = "FTP2MAIL",
               .bounds = {0, 0, 408, 306}});
  label(fmConstructor::lbFTPService, fmConstructor::tsFTP, "Service", {8, 10, 90, 16});
  c.push_back({.name = fmConstructor::cbFTPService, .kind = Kind::ComboBox, .parent = fmConstructor::tsFTP, .bounds = {100, 6, 250, 22}});
  c.push_back({.name = fmConstructor::bbEditService,
               .kind = Kind::Button,
               .parent = fmConstructor::tsFTP,
               .caption = "...",
               .hint = "Редактировать список серверов",
               .bounds = {356, 5, 44, 24}});
  c.push_back({.name = fmConstructor::rgCommand,
               .kind = Kind::RadioGroup,
               .parent = fmConstructor::tsFTP,
               .caption = "Задание",
               .bounds = {8, 36, 392, 76},
               .items = {"Получить файл (get)", "Cодержание директории (dir)", "Краткое содержание директории (ls)"}});
  c.push_back({.name = fmConstructor::rgMode,
               .kind = Kind::RadioGroup,
               .parent = fmConstructor::tsFTP,
               .caption = "Режим",
               .bounds = {8, 116, 120, 76},
               .items = {"binary", "ascii"}});
  c.push_back({.name = fmConstructor::rgCompress,
               .kind = Kind::RadioGroup,
               .parent = fmConstructor::tsFTP,
               .caption = "Сжатие",
               .bounds = {136, 116, 130, 76},
               .items = {"compress", "gzip", "bzip"}});
  c.push_back({.name = fmConstructor::rgCode,
               .kind = Kind::RadioGroup,
               .parent = fmConstructor::tsFTP,
               .caption = "Кодирование",
               .bounds = {274, 116, 126, 76},
               .items = {"mime", "uuencode", "btoa"}});
  c.push_back({.name = fmConstructor::gbSize,
               .kind = Kind::GroupBox,
               .parent = fmConstructor::tsFTP,
               .caption = "Максимальный размер файла",
               .bounds = {8, 196, 392, 70}});
  c.push_back({.name = fmConstructor::edSize,
               .kind = Kind::Edit,
               .parent = fmConstructor::gbSize,
               .caption = "500",
               .bounds = {8, 26, 80, 22},
               .max_length = 256});
  c.push_back({.name = fmConstructor::rgSize,
               .kind = Kind::RadioGroup,
               .parent = fmConstructor::gbSize,
               .caption = "Выбор",
               .bounds = {96, 10, 288, 56},
               .items = {"Кбайт", "Мбайт"}});
  c.push_back({.name = fmConstructor::bbSave2,
               .kind = Kind::Button,
               .parent = fmConstructor::tsFTP,
               .caption = "Сохранить изменения",
               .bounds = {150, 272, 150, 26}});
  c.push_back({.name = fmConstructor::bbCancel2,
               .kind = Kind::Button,
               .parent = fmConstructor::tsFTP,
               .caption = "&Отмена",
               .bounds = {308, 272, 92, 26}});
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

TfmButton::TfmButton(const IniFile& settings) : Dialog(ButtonDef()), settings_(settings) { BindCommands(); }

void TfmButton::BindCommands() {
  ui::Commands& c = Commands();
  c.On(fmButton::bbSave, [this] { bbSaveClick(); })
      .On(fmButton::bbCancel, [this] { Close(); })
      .On(fmButton::bbEditService, [] { OpenListFile("www4mail.ini"); })
      .On(fmButton::bbHelp,
          [this] { ui::ShellOpen("mailto:" + ui::GetText(ControlHwnd(fmButton::cbService)) + "?subject=help&body=help"); })
      .On(fmButton::bbWWW2MAIL, [this] { Construct(TfmConstructor::Page::Www2Mail); })
      .On(fmButton::bbFTP2MAIL, [this] { Construct(TfmConstructor::Page::Ftp2Mail); })
      .OnNotify(fmButton::edName, [this](int code) {
        if (code == EN_CHANGE) ui::SetText(ControlHwnd(fmButton::bbExample), ui::GetText(ControlHwnd(fmButton::edName)));
      });
  for (const TemplateElement& element : kTemplateElements) {
    c.On(element.name, [this, text = std::string(element.text)] { InsertTemplate(text); });
  }
}

bool TfmButton::Open(HWND owner, int number) {
  number_ = number;
  if (!Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 0, 0)) return false;
  ui::CenterWindow(Hwnd(), owner);
  SetDefaultButton(fmButton::bbSave);
  ShowWindow(Hwnd(), SW_SHOW);
  Load();
  SetForegroundWindow(Hwnd());
  return true;
}

void TfmButton::ShowModal(HWND owner, int number) {
  if (!Open(owner, number)) return;
  RunModalAndDestroy(owner);
}

void TfmButton::Load() {
  ui::SetComboItems(ControlHwnd(fmButton::cbMailBoxSelected), MailboxChoices(settings_));
  try {
    const SettingsFile buttons(ProgramFile("Buttons.ini"), SystemCodec());
    Show(LoadButtonFields(buttons, number_));
  } catch (const std::exception& e) {
    SetService(std::string("Error loading button settings : ") + e.what());
  }
  if (const auto services = ReadList("www4mail.ini")) ui::SetComboItems(ControlHwnd(fmButton::cbService), *services);
}

void TfmButton::Show(const ButtonFields& f) {
  ui::SetText(ControlHwnd(fmButton::edName), f.name);
  ui::SetText(ControlHwnd(fmButton::bbExample), f.name);
  ui::SetText(ControlHwnd(fmButton::edComment), f.comment);
  SetService(f.service);
  SetSubject(f.subject);
  ui::SetText(ControlHwnd(fmButton::cbMailBoxSelected), f.mailbox);
  Get(fmButton::cbMultiRequest).SetChecked(f.multi_request);
  SetBody(f.body);
}

ButtonFields TfmButton::Fields() {
  ButtonFields f;
  f.name = ui::GetText(ControlHwnd(fmButton::edName));
  f.comment = ui::GetText(ControlHwnd(fmButton::edComment));
  f.service = ui::GetText(ControlHwnd(fmButton::cbService));
  f.subject = ui::GetText(ControlHwnd(fmButton::cbSubject));
  f.mailbox = ui::GetText(ControlHwnd(fmButton::cbMailBoxSelected));
  f.multi_request = Get(fmButton::cbMultiRequest).Checked();
  const std::string body = ui::GetText(ControlHwnd(fmButton::mmBody));
  for (const std::string_view line : SplitLines(body)) f.body.emplace_back(line);
  return f;
}

void TfmButton::SetService(const std::string& text) { ui::SetText(ControlHwnd(fmButton::cbService), text); }
void TfmButton::SetSubject(const std::string& text) { ui::SetText(ControlHwnd(fmButton::cbSubject), text); }
void TfmButton::SetBody(const std::vector<std::string>& lines) { ui::SetText(ControlHwnd(fmButton::mmBody), JoinLines(lines)); }

void TfmButton::InsertTemplate(const std::string& text) {
  ui::Component& body = Get(fmButton::mmBody);
  const int start = body.GetSelection().start;
  body.SetSelection({start, start});  // inserted, nothing selected replaced
  body.ReplaceSelection(text);
  SetFocus(ControlHwnd(fmButton::mmBody));
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

// ---- the builders

TfmConstructor::TfmConstructor(TfmButton& editor, Page page) : Dialog(ConstructorDef()), editor_(editor), page_(page) {
  Commands()
      .On(fmConstructor::bbW2Msave, [this] { bbW2MsaveClick(); })
      .On(fmConstructor::bbSave2, [this] { bbSave2Click(); })
      .On(fmConstructor::bbCancel, [this] { Close(); })
      .On(fmConstructor::bbCancel2, [this] { Close(); })
      .On(fmConstructor::bbOpenList, [] { OpenListFile("www2mail.ini"); })
      .On(fmConstructor::bbEditService, [] { OpenListFile("ftp2mail.ini"); });
}

bool TfmConstructor::Open(HWND owner) {
  // Every list it offers must be there; the first one missing is named.
  const std::vector<std::pair<const char*, const char*>> lists =
      page_ == Page::Www2Mail ? std::vector<std::pair<const char*, const char*>>{{fmConstructor::cbService, "www2mail.ini"},
                                                                                 {fmConstructor::cbCom, "commands.ini"},
                                                                                 {fmConstructor::cbEnd, "attr.ini"},
                                                                                 {fmConstructor::cbReq, "recent.cfg"}}
                              : std::vector<std::pair<const char*, const char*>>{{fmConstructor::cbFTPService, "ftp2mail.ini"}};
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
  ShowPage(fmConstructor::pcConstructor, page_ == Page::Www2Mail ? 0 : 1);
  for (const char* group : {fmConstructor::rgRequestIn, fmConstructor::rgCommand, fmConstructor::rgMode, fmConstructor::rgCompress,
                            fmConstructor::rgCode, fmConstructor::rgSize})
    Get(group).SetItemIndex(0);
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

void TfmConstructor::Fill(const char* list, const std::vector<std::string>& entries) {
  ui::Component& box = Get(list);
  box.SetItems(entries);
  if (!entries.empty()) box.SetItemIndex(0);
}

void TfmConstructor::bbW2MsaveClick() {
  const std::string fixed = ui::GetText(ControlHwnd(fmConstructor::cbReq));
  const bool always = Get(fmConstructor::cbReqConst).Checked();
  const std::string request =
      WwwRequest(ui::GetText(ControlHwnd(fmConstructor::cbCom)), always ? &fixed : nullptr, ui::GetText(ControlHwnd(fmConstructor::cbEnd)));
  if (Get(fmConstructor::rgRequestIn).ItemIndex() == 1) {
    editor_.SetBody({request});
    editor_.SetSubject("");
  } else {
    editor_.SetSubject(request);
    editor_.SetBody({});
  }
  editor_.SetService(ui::GetText(ControlHwnd(fmConstructor::cbService)));
  Close();
}

void TfmConstructor::bbSave2Click() {
  FtpChoices choices{.command = Get(fmConstructor::rgCommand).ItemIndex(),
                     .mode = Get(fmConstructor::rgMode).ItemIndex(),
                     .compress = Get(fmConstructor::rgCompress).ItemIndex(),
                     .code = Get(fmConstructor::rgCode).ItemIndex(),
                     .size = ui::GetText(ControlHwnd(fmConstructor::edSize)),
                     .size_unit = Get(fmConstructor::rgSize).ItemIndex()};
  editor_.SetService(ui::GetText(ControlHwnd(fmConstructor::cbFTPService)));
  editor_.SetSubject("");
  editor_.SetBody(FtpBody(choices));
  Close();
}
}  // namespace qp

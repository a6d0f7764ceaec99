// The component table of the options dialog: six pages, names, Russian texts, design places.
#include "dialogs/options_form.h"

#include <string>
#include <vector>

#include "dialogs/options.h"

namespace qp {

using fmOptions::Numbered;
using ui::ControlDef;
using ui::Kind;

namespace {

constexpr int kRowStep = 30;  // the rows of the address and server pages

std::vector<std::string> NumberItems() {
  std::vector<std::string> items;
  for (int n = 1; n <= kOptionRows; ++n) items.push_back(std::to_string(n));
  return items;
}

// A server's encryption choices, in the order of the digit its "TLSk" stores.
std::vector<std::string> TlsItems() { return {"Нет", "STARTTLS, если есть", "Только STARTTLS", "SSL/TLS"}; }

}  // namespace

ui::FormDef OptionsFormDef() {
  ui::FormDef form{.name = "fmOptions", .title = "Настройки ", .client_width = 608, .client_height = 562, .controls = {}};
  auto& c = form.controls;
  auto add = [&](ControlDef def) { c.push_back(std::move(def)); };
  auto label = [&](std::string name, std::string parent, std::string caption, ui::Rect bounds, std::string hint = "") {
    add({.name = std::move(name),
         .kind = Kind::Label,
         .parent = std::move(parent),
         .caption = std::move(caption),
         .hint = std::move(hint),
         .bounds = bounds});
  };
  auto edit = [&](std::string name, std::string parent, ui::Rect bounds, int max_length = 0, std::string hint = "") {
    add({.name = std::move(name),
         .kind = Kind::Edit,
         .parent = std::move(parent),
         .hint = std::move(hint),
         .bounds = bounds,
         .max_length = max_length});
  };
  auto page = [&](std::string name, std::string caption) {
    add({.name = std::move(name),
         .kind = Kind::TabSheet,
         .parent = fmOptions::JvPageControl1,
         .caption = std::move(caption),
         .bounds = {4, 26, 592, 440}});
  };
  // A read-only box that shows its row's number.
  auto number = [&](std::string name, std::string parent, int n, ui::Rect bounds) {
    add({.name = std::move(name),
         .kind = Kind::Edit,
         .parent = std::move(parent),
         .caption = std::to_string(n),
         .bounds = bounds,
         .read_only = true});
  };

  add({.name = fmOptions::JvPageControl1, .kind = Kind::PageControl, .bounds = {4, 4, 600, 470}});

  // 1: the send method.
  page("tbSend", "Отправка");
  add({.name = fmOptions::rgSendBy,
       .kind = Kind::RadioGroup,
       .parent = "tbSend",
       .caption = "Отправка сообщений",
       .bounds = {8, 8, 576, 130},
       .items = {"Используя Quillpost (Отправка через SMTP сервер) *", "Используя почтовый клиент (через MAPI) **",
                 "Используя почтовый клиент (используя ссылку MailTo:) ***", "Используя Quillpost (Отправка на сервер получателя)****",
                 "Используя почтовый клиент The Bat! *****"}});
  label("Label1", "tbSend",
        "*Введите ваш емайл адрес в закладке Адреса и параметры SMTP сервера используемого для отправки в закладке SMTP сервера.",
        {8, 150, 576, 30});
  label("Label2", "tbSend", "**MAPI - интерфейс прикладных программ обработки сообщений ", {8, 186, 576, 30});
  label("Label3", "tbSend",
        "***Некоторые почтовые программы не принимают многострочный запрос, переданный ссылкой MailTo: (таковы, например, "
        "запросы к сервисам ftp2mail).",
        {8, 222, 576, 30});
  label("Label4", "tbSend", "**** Введите ваш емайл адрес в закладке Адреса и IP адрес DNS сервера провайдера в закладке Настройки",
        {8, 258, 576, 30});
  label("Label5", "tbSend", "***** Настройки отправки через The Bat! в закладке The Bat!", {8, 294, 576, 30});

  // 2: the ten mailboxes.
  page("tsEmails", "Адреса");
  label("lbEmailsN", "tsEmails", "№", {8, 6, 26, 16});
  label("lbEmailsAddress", "tsEmails", "Адрес электронной почты [Email]", {40, 6, 240, 16});
  label("lbEmailsPassword", "tsEmails", "Пароль*", {290, 6, 90, 16}, "Пароль для использования в шаблонах, метка %password%");
  label("lbEmailsSMTP", "tsEmails", "SMTP  №", {390, 6, 70, 16});
  label("lbEmailsSize", "tsEmails", "Размер файла**", {470, 6, 110, 16},
        "Максимальный размер файла, метка %size% используеться для разделения файла на части");
  for (int n = 1; n <= kOptionRows; ++n) {
    const int y = 24 + (n - 1) * kRowStep;
    number(Numbered("edN", n), "tsEmails", n, {8, y, 26, 22});
    edit(Numbered(fmOptions::edMail, n), "tsEmails", {40, y, 244, 22}, 256, n == 1 ? "Ваш адрес электронной почты" : "");
    add({.name = Numbered(fmOptions::edDSpass, n),
         .kind = Kind::Edit,
         .parent = "tsEmails",
         .bounds = {290, y, 94, 22},
         .max_length = 32,
         .password = true});
    add({.name = Numbered(fmOptions::cbSMTP, n),
         .kind = Kind::ComboBox,
         .parent = "tsEmails",
         .caption = "1",
         .bounds = {390, y, 74, 22},
         .items = NumberItems()});
    edit(Numbered(fmOptions::edSize, n), "tsEmails", {470, y, 110, 22});
  }
  label("lbEmailsNote1", "tsEmails", "* Для шаблонов. Заполнение не обязательно. [заменяет метку %password% в шаблоне запроса]",
        {8, 330, 576, 30});
  label("lbEmailsNote2", "tsEmails", "** Для шаблонов. [заменяет метку %size% в шаблоне запроса]", {8, 366, 576, 30});

  // 3: the ten SMTP servers.
  page("tsSMTP", "SMTP Сервера");
  label("lbSMTPN", "tsSMTP", "№", {8, 6, 26, 16});
  label("lbSMTPName", "tsSMTP", "Имя или IP адрес SMTP сервера", {38, 6, 192, 16});
  label("lbSMTPPort", "tsSMTP", "Порт", {234, 6, 47, 16});
  label("lbSMTPTLS", "tsSMTP", "Шифрование", {285, 6, 150, 16});
  label("lbSMTPUser", "tsSMTP", "Пользователь*", {439, 6, 86, 16});
  label("lbSMTPPass", "tsSMTP", "Пароль*", {530, 6, 56, 16});
  for (int k = 1; k <= kOptionRows; ++k) {
    const int y = 24 + (k - 1) * kRowStep;
    number(Numbered("Edit", 10 + k), "tsSMTP", k, {8, y, 26, 22});
    edit(Numbered(fmOptions::edSMTPName, k), "tsSMTP", {38, y, 192, 22}, 256,
         k == 1 ? "Имя или адрес SMTP сервера для отправки запросов" : "");
    edit(Numbered(fmOptions::edSMTPPort, k), "tsSMTP", {234, y, 47, 22}, 32);
    add({.name = Numbered(fmOptions::cbTLS, k),
         .kind = Kind::ComboBox,
         .parent = "tsSMTP",
         .hint = k == 1 ? "Защита соединения: SSL/TLS обычно на порту 465, STARTTLS на 587 и 25" : "",
         .bounds = {285, y, 150, 22},
         .items = TlsItems(),
         .read_only = true});
    edit(Numbered(fmOptions::edUser, k), "tsSMTP", {439, y, 86, 22}, 32, k == 1 ? "Имя пользователя" : "");
    add({.name = Numbered(fmOptions::edPass, k),
         .kind = Kind::Edit,
         .parent = "tsSMTP",
         .hint = k == 1 ? "Пароль" : "",
         .bounds = {530, y, 56, 22},
         .max_length = 32,
         .password = true});
  }
  label("lbSMTPNote", "tsSMTP",
        "* Имя пользователя и пароль заполняються только в том случае, если ваш SMTP сервер требует авторизации. Если авторизации "
        "не требуеться оставте эти поля пустыми.",
        {8, 330, 576, 44});

  // 4: browser, proxy, transparency, DNS.
  page("tbOptions", "Настройки");
  add({.name = "gbBrowser",
       .kind = Kind::GroupBox,
       .parent = "tbOptions",
       .caption = "Копирование URL с броузера и Quillpost Прокси",
       .bounds = {8, 4, 576, 132}});
  label("lbBrowser", "gbBrowser", "Используемый броузер:", {10, 22, 300, 16});
  add({.name = fmOptions::cbBrowser,
       .kind = Kind::ComboBox,
       .parent = "gbBrowser",
       .hint = "Используеться для копирования адреса активной страницы Интернет из броузера.",
       .bounds = {330, 18, 236, 22},
       .items = {"Internet Explorer", "Netscape Navigator", "Opera", "mozilla", "netscape", "firefox"},
       .max_length = 256});
  label("lbProxy", "gbBrowser", "Порт для работы Quillpost в качестве прокси.", {10, 50, 300, 16});
  edit(fmOptions::edProxy, "gbBrowser", {330, 46, 100, 22}, 256, "Значение по умолчанию 8088");
  add({.name = fmOptions::bbSetIE,
       .kind = Kind::Button,
       .parent = "gbBrowser",
       .caption = "Настроить IExplorer на работу через Quillpost (прокси).",
       .bounds = {10, 74, 556, 24}});
  add({.name = fmOptions::bbProxyDisable,
       .kind = Kind::Button,
       .parent = "gbBrowser",
       .caption = "Отключить работу IExplorer через Quillpost  (прокси).",
       .bounds = {10, 102, 556, 24}});
  add({.name = "gbView",
       .kind = Kind::GroupBox,
       .parent = "tbOptions",
       .caption = "Вид (прозрачность окон)",
       .bounds = {8, 142, 576, 100}});
  label("lbTrans", "gbView", "Прозрачность главного окна, 0 - 255", {10, 22, 310, 16});
  add({.name = fmOptions::seTrans,
       .kind = Kind::SpinEdit,
       .parent = "gbView",
       .hint = "Прозрачность главного окна",
       .bounds = {330, 18, 70, 22}});
  label("lbTrans2", "gbView", "Прозрачность минимизированного окна, 0 - 255", {10, 48, 310, 16});
  add({.name = fmOptions::seTrans2,
       .kind = Kind::SpinEdit,
       .parent = "gbView",
       .hint = "Прозрачность минимизированного окна",
       .bounds = {330, 44, 70, 22}});
  add({.name = fmOptions::cbClose2Tray,
       .kind = Kind::CheckBox,
       .parent = "gbView",
       .caption = "Сворачивать в трей (при закрытии) ",
       .bounds = {10, 72, 400, 20}});
  add({.name = "gbDNS",
       .kind = Kind::GroupBox,
       .parent = "tbOptions",
       .caption = "Настройки DNS (Требуеться для прямой отправки на сервер получателя)",
       .bounds = {8, 248, 576, 108}});
  label("lbDNS", "gbDNS", "DNS Server IP", {10, 22, 120, 16});
  add({.name = fmOptions::cbDNS, .kind = Kind::ComboBox, .parent = "gbDNS", .bounds = {140, 18, 200, 22}});
  label("lbTimeOut", "gbDNS", "DNS Timeout", {10, 50, 120, 16});
  edit(fmOptions::edtTimeOut, "gbDNS", {140, 46, 100, 22});
  add({.name = fmOptions::btDNSAuto,
       .kind = Kind::Button,
       .parent = "gbDNS",
       .caption = "Автоопределение (вы должны быть подключены к сети/интернет)",
       .bounds = {10, 76, 556, 24}});
  add({.name = fmOptions::btAddMenuToIE,
       .kind = Kind::Button,
       .parent = "tbOptions",
       .caption = "Добавить пункт \"Закачать с помощью Quillpost\" в Internet Expolrer",
       .bounds = {8, 364, 576, 26}});

  // 5: the letters' headers, the list delay and the protocol verbs.
  page("tbExpert", "Эксперт");
  label("lbExpertWarning1", "tbExpert",
        "Внимание! Кнопки \"Включить\" и \"Отключить\" меняют системный реестр: команду \"Request by Email\" адресов http и ftp "
        "в броузере.",
        {8, 4, 576, 30});
  label("lbExpertWarning2", "tbExpert",
        "Включайте их, только если понимаете, что делаете; \"Отключить\" возвращает системе ее собственную команду.", {8, 36, 576, 30});
  add({.name = "gbExpert",
       .kind = Kind::GroupBox,
       .parent = "tbExpert",
       .caption = "Эксперт настройки сообщения",
       .bounds = {8, 70, 576, 136}});
  const std::pair<const char*, const char*> headers[] = {{fmOptions::leContentType, "Content Type"},
                                                         {fmOptions::leCharSet, "Charset"},
                                                         {fmOptions::leContentTransferEncoding, "Content Transfer Encoding"},
                                                         {fmOptions::leXmailer, "X-Mailer"}};
  for (int i = 0; i < 4; ++i) {
    label(std::string(headers[i].first) + "Label", "gbExpert", headers[i].second, {10, 24 + i * 28, 200, 16});
    edit(headers[i].first, "gbExpert", {220, 20 + i * 28, 346, 22});
  }
  add({.name = "gbRLDelay",
       .kind = Kind::GroupBox,
       .parent = "tbExpert",
       .caption = "Отправка листа с задержкой",
       .bounds = {8, 212, 576, 52}});
  label("lbRLDelay", "gbRLDelay", "Задержка (сек)", {10, 24, 120, 16});
  edit(fmOptions::edRLDelay, "gbRLDelay", {140, 20, 80, 22});
  add({.name = "gbHTTP", .kind = Kind::GroupBox, .parent = "tbExpert", .caption = "Выполнять HTTP запросы", .bounds = {8, 270, 284, 58}});
  add({.name = fmOptions::btON1, .kind = Kind::Button, .parent = "gbHTTP", .caption = "Включить", .bounds = {10, 22, 128, 26}});
  add({.name = fmOptions::btOFF1, .kind = Kind::Button, .parent = "gbHTTP", .caption = "Отключить", .bounds = {146, 22, 128, 26}});
  add({.name = "gbFTP", .kind = Kind::GroupBox, .parent = "tbExpert", .caption = "Выполнять FTP запросы", .bounds = {300, 270, 284, 58}});
  add({.name = fmOptions::btON, .kind = Kind::Button, .parent = "gbFTP", .caption = "Включить", .bounds = {10, 22, 128, 26}});
  add({.name = fmOptions::btOFF, .kind = Kind::Button, .parent = "gbFTP", .caption = "Отключить", .bounds = {146, 22, 128, 26}});

  // 6: The Bat!
  page("tbTheBat", "The Bat!");
  add({.name = "gbBat",
       .kind = Kind::GroupBox,
       .parent = "tbTheBat",
       .caption = "Настройки отправки через The Bat!",
       .bounds = {8, 4, 576, 56}});
  label("lbBatPath", "gbBat", "Путь", {10, 26, 40, 16});
  edit(fmOptions::edBatPath, "gbBat", {54, 22, 420, 22});
  add({.name = fmOptions::bbBrowse, .kind = Kind::Button, .parent = "gbBat", .caption = "Обзор", .bounds = {480, 21, 86, 24}});
  add({.name = fmOptions::rgBatSend,
       .kind = Kind::RadioGroup,
       .parent = "tbTheBat",
       .caption = "Отправка",
       .bounds = {8, 66, 576, 80},
       .items = {"Немедленная", "Поместить в Исходящие", "Редактирование"}});
  add({.name = "gbBatMailboxes", .kind = Kind::GroupBox, .parent = "tbTheBat", .caption = "Почтовые ящики", .bounds = {8, 152, 576, 284}});
  label("lbBatN", "gbBatMailboxes", "№", {10, 16, 26, 16});
  label("lbBatName", "gbBatMailboxes", "Имя почтового ящика", {40, 16, 300, 16});
  for (int n = 1; n <= kOptionRows; ++n) {
    const int y = 34 + (n - 1) * 24;
    number(Numbered("edNumber", n), "gbBatMailboxes", n, {10, y, 26, 22});
    edit(Numbered(fmOptions::edBatMailboxName, n), "gbBatMailboxes", {40, y, 526, 22}, 256);
  }

  // Below the pages.
  add({.name = fmOptions::cbAutodial,
       .kind = Kind::CheckBox,
       .caption = "&Удаленный доступ (авто- установка соединения / разрыв связи)",
       .bounds = {8, 480, 592, 20}});
  add({.name = fmOptions::cbDontDisconnect,
       .kind = Kind::CheckBox,
       .caption = "Не отключаться от SMTP сервера после отправки запроса",
       .bounds = {8, 502, 592, 20}});
  // Kept with their keys; nothing reads them.
  add({.name = fmOptions::cbDontCheck,
       .kind = Kind::CheckBox,
       .caption = "Не проверять наличие и не востанавливать соединение",
       .bounds = {8, 524, 380, 20},
       .visible = false});
  add({.name = fmOptions::cbErrorPopUp,
       .kind = Kind::CheckBox,
       .caption = "Не выводить сообщения об ошибках при отправке",
       .bounds = {8, 540, 380, 20},
       .visible = false});
  add({.name = fmOptions::sbApply, .kind = Kind::Button, .caption = "&Применить", .bounds = {392, 530, 104, 26}});
  add({.name = fmOptions::sbHelp, .kind = Kind::Button, .caption = "С&правка", .hint = "Справка", .bounds = {500, 530, 100, 26}});
  return form;
}

}  // namespace qp

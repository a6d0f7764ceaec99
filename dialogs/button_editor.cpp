// What the button editor and its request builders show and write.
#include "dialogs/button_editor.h"

#include "base/ini_edit.h"
#include "base/lines.h"
#include "request/buttons.h"

namespace qp {

ButtonFields LoadButtonFields(const IniFile& buttons, int number) {
  // As the dispatch reads it (buttons 1..22 have no fixed service), but an absent mailbox
  // shows as the menu's choice.
  const ButtonDefinition d = ReadButtonDefinition(buttons, number);
  ButtonFields f{
      .name = d.name, .comment = d.comment, .service = d.service, .subject = d.subject, .multi_request = d.multi_request, .body = d.body};
  if (buttons.ValueExists(ButtonSection(number), "Mailbox")) f.mailbox = d.mailbox;
  return f;
}

std::string SaveButtonFields(std::string_view buttons_text, int number, const ButtonFields& f) {
  const std::string text = SetIniValues(buttons_text, ButtonSection(number),
                                        {{"Name", f.name},
                                         {"Service", f.service},
                                         {"Subject", f.subject},
                                         {"Comment", f.comment},
                                         {"Mailbox", f.mailbox},
                                         {"MultiRequest", f.multi_request ? "1" : "0"}});
  IniEntries body{{"Count", std::to_string(static_cast<int>(f.body.size()) - 1)}};
  for (std::size_t i = 0; i < f.body.size(); ++i) body.emplace_back(std::to_string(i), f.body[i]);
  return ReplaceIniSection(text, BodySection(number), body);
}

std::vector<std::string> MailboxChoices(const IniFile& settings) {
  std::vector<std::string> choices{kAnyMailbox};
  for (int n = 1; n <= 10; ++n) {
    const std::string address = settings.ReadString("Emails", "EM" + std::to_string(n), "");
    if (!address.empty()) choices.push_back(std::to_string(n) + " : " + address);
  }
  return choices;
}

std::string WwwRequest(std::string_view command, const std::string* fixed_request, std::string_view ending) {
  return std::string(command) + " " + (fixed_request ? *fixed_request : std::string("%request%")) + " " + std::string(ending);
}

std::vector<std::string> FtpBody(const FtpChoices& c) {
  auto pick = [](int index, std::initializer_list<const char*> items) {
    const int i = index >= 0 && index < static_cast<int>(items.size()) ? index : 0;
    return std::string(items.begin()[i]);
  };
  return {"open %host%",
          "cd %dir%",
          c.mode == 0 ? "mode binary" : "mode ascii",
          pick(c.compress, {"compress", "gzip", "bzip"}),
          pick(c.code, {"mime", "uuencode", "btoa"}),
          "size " + c.size + (c.size_unit == 0 ? "K" : "M"),
          pick(c.command, {"get %filename%", "dir", "ls"}),
          "quit"};
}

std::vector<std::string> ListEntries(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  std::vector<std::string> entries(lines.begin(), lines.end());
  while (!entries.empty() && entries.back().empty()) entries.pop_back();
  return entries;
}

}  // namespace qp

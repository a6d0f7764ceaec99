// What the button editor and its request builders show and write, apart from their windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ini_file.h"

namespace qp {

inline constexpr char kAnyMailbox[] = "Selected";  // the mailbox chosen in the menu when sending

// One button's fields as the editor shows them.
struct ButtonFields {
  std::string name, comment, service, subject;
  std::string mailbox = "Выбор в меню";
  bool multi_request = false;
  std::vector<std::string> body;
};

ButtonFields LoadButtonFields(const IniFile& buttons, int number);

// "Buttons.ini" with button N's two sections written from the fields; every other line of the
// text, comments and other sections, stays as it was.
std::string SaveButtonFields(std::string_view buttons_text, int number, const ButtonFields& fields);

// The mailbox list: "Selected", then "N : address" for each profile with an address.
std::vector<std::string> MailboxChoices(const IniFile& settings);

// The WWW2MAIL builder's request: the command, a space, the fixed request (or "%request%"
// when there is none), a space and the ending.
std::string WwwRequest(std::string_view command, const std::string* fixed_request, std::string_view ending);

// The FTP2MAIL builder's choices, by item index as the groups list them.
struct FtpChoices {
  int command = 0;   // get, dir, ls
  int mode = 0;      // binary, ascii
  int compress = 0;  // compress, gzip, bzip
  int code = 0;      // mime, uuencode, btoa
  std::string size = "500";
  int size_unit = 0;  // K, M
};
std::vector<std::string> FtpBody(const FtpChoices& choices);

// A list file's entries: its lines, without empty ones at the end.
std::vector<std::string> ListEntries(std::string_view text);

}  // namespace qp

// Request button definitions of "Buttons.ini" and the numbers buttons go by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ini_file.h"

namespace qp {

inline constexpr int kRequestButtonCount = 20;  // bb1..bb20
inline constexpr int kSearchButton1 = 21, kSearchButton2 = 22;
inline constexpr int kFirstFixedRequest = 31, kLastFixedRequest = 36;

// A body template may not hold more lines than this: a hand-edited "Count" of two
// billion must neither hang the program nor exhaust its memory.
inline constexpr int kMaxBodyLines = 1000;

std::string ButtonSection(int number);  // "Button 7"
std::string BodySection(int number);    // "body 7"

struct ButtonDefinition {
  std::string name;
  std::string service;
  std::string subject;
  std::string comment;
  std::string mailbox = "Selected";
  bool multi_request = false;
  std::vector<std::string> body;  // the template lines, in order
};

// The definition of button N as the dispatch reads it (every press reads it afresh).
ButtonDefinition ReadButtonDefinition(const IniFile& buttons, int number);

// The body template lines of button N: lines "0" to "Count" (a missing line reads empty,
// a negative "Count" gives none, a missing one a single empty line), at most kMaxBodyLines.
std::vector<std::string> ReadBodyTemplate(const IniFile& buttons, int number);

// The fixed service addresses of the menu requests 31 to 36; they replace "Service".
// Kept together here so a release can set them in one place.
struct FixedServices {
  static constexpr std::string_view kStatisticsSubscription = "stat-subscribe@quillpost.invalid";
  static constexpr std::string_view kServerStatistics = "stat@quillpost.invalid";
  static constexpr std::string_view kUserGroup = "users-subscribe@quillpost.invalid";
  static constexpr std::string_view kSupport = "support@quillpost.invalid";
};
// The address of a fixed request 31..36; empty for other numbers.
std::string_view FixedServiceAddress(int number);

}  // namespace qp

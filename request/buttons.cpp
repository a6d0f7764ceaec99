// Request button definitions of "Buttons.ini".
#include "request/buttons.h"

#include <algorithm>

namespace qp {

std::string ButtonSection(int number) { return "Button " + std::to_string(number); }
std::string BodySection(int number) { return "body " + std::to_string(number); }

std::vector<std::string> ReadBodyTemplate(const IniFile& buttons, int number) {
  const std::string section = BodySection(number);
  const int last = std::min(buttons.ReadInteger(section, "Count", 0), kMaxBodyLines - 1);
  std::vector<std::string> lines;
  for (int i = 0; i <= last; ++i) lines.push_back(buttons.ReadString(section, std::to_string(i), ""));
  return lines;
}

ButtonDefinition ReadButtonDefinition(const IniFile& buttons, int number) {
  const std::string section = ButtonSection(number);
  ButtonDefinition d;
  d.name = buttons.ReadString(section, "Name", "");
  d.service = buttons.ReadString(section, "Service", "");
  d.subject = buttons.ReadString(section, "Subject", "");
  d.comment = buttons.ReadString(section, "Comment", "");
  d.mailbox = buttons.ReadString(section, "Mailbox", "Selected");
  d.multi_request = buttons.ReadBool(section, "MultiRequest", false);
  d.body = ReadBodyTemplate(buttons, number);
  if (std::string_view fixed = FixedServiceAddress(number); !fixed.empty()) d.service = std::string(fixed);
  return d;
}

std::string_view FixedServiceAddress(int number) {
  switch (number) {
    case 31: return FixedServices::kStatisticsSubscription;
    case 32: return FixedServices::kServerStatistics;
    case 33: return FixedServices::kUserGroup;
    case 34:
    case 35:
    case 36: return FixedServices::kSupport;
    default: return {};
  }
}

}  // namespace qp

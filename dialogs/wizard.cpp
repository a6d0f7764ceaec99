// What the first-run wizard decides and writes.
#include "dialogs/wizard.h"

namespace qp {

int WizardLanguageNumber(std::string_view text) {
  constexpr std::string_view kNames[] = {"English", "Russian", "Ukraine", "Custom"};
  for (int n = 0; n < 4; ++n) {
    if (text == kNames[n]) return n;
  }
  return 0;
}

void ApplyWizard(IniFile& settings, const std::string& email, const std::string& smtp_host, int language) {
  settings.WriteString("SMTP", "SMTP1", smtp_host);
  settings.WriteString("SMTP", "Port1", "25");
  settings.WriteString("SMTP", "SM1", "1");
  settings.WriteString("Emails", "EM1", email);
  settings.WriteInteger("Settings", "sendby", 0);
  settings.WriteInteger("Settings", "lang", language);
}

}  // namespace qp

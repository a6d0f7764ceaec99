// What the first-run wizard decides and writes, apart from its window.
#pragma once

#include <string>
#include <string_view>

#include "base/ini_file.h"

namespace qp {

// The language a text of the wizard's list names: "English", "Russian", "Ukraine" or
// "Custom" exactly as written give 0 to 3; anything else gives 0.
int WizardLanguageNumber(std::string_view text);

// The wizard's values as "Finish" writes them: profile 1's address, server entry 1 on port 25,
// profile 1 on server 1, the SMTP send method and the language. The caller reloads the file
// before and writes it after.
void ApplyWizard(IniFile& settings, const std::string& email, const std::string& smtp_host, int language);

}  // namespace qp

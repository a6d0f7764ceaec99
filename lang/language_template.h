// The language template: what a translator starts from. Every text the program's windows show
// now, under the language files' keys, and the messages declared in "strings".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ini_file.h"
#include "ui/form.h"

namespace qp {

using TemplateEntries = std::vector<std::pair<std::string, std::string>>;  // key, text

// A window's entries, in component order: its title, then each component's caption, hint,
// memo lines (up to one that is the memo's own name) and items. Components named "out..."
// and texts that say nothing (empty, a separator's "-", the component's own name) are left out.
TemplateEntries WindowTemplate(ui::Form& form);

// The messages a declarations source holds: key='text'; lines, a text continued after "+"
// on the same or the next lines with its line breaks as "*|*", "''" for a quote. A line of
// any other form (a blank between "=" and the quote among them) declares nothing.
TemplateEntries ParseDeclarations(std::string_view source);

// Writes the windows' entries and then the messages of "strings" into "Custom.lng" of the
// program folder, keeping the keys it holds and these do not rewrite. false when "strings"
// is missing (the windows' entries are written by then).
bool WriteLanguageTemplate(const std::vector<ui::Form*>& windows);

}  // namespace qp

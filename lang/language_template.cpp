// The language template.
#include "lang/language_template.h"

#include "base/file_io.h"
#include "base/lines.h"
#include "base/working_folder.h"

namespace qp {
namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) text.replace(at, from.size(), to);
}

}  // namespace

TemplateEntries WindowTemplate(ui::Form& form) {
  const std::string& w = form.Name();
  TemplateEntries entries;
  if (const std::string title = form.Title(); title != w) entries.emplace_back(w + ".Caption", title);
  for (std::size_t i = 0; i < form.ComponentCount(); ++i) {
    ui::Component& c = form.ComponentAt(i);
    const std::string& name = c.Name();
    if (name.rfind("out", 0) == 0) continue;
    const std::string prefix = w + "." + name;
    const ui::Kind kind = c.GetKind();
    // What an edit, a list or the status line shows is its content, not a caption.
    const bool content = kind == ui::Kind::Memo || kind == ui::Kind::Edit || kind == ui::Kind::SpinEdit || kind == ui::Kind::ComboBox ||
                         kind == ui::Kind::StatusBar;
    if (ui::HasCaption(kind) && !content) {
      const std::string caption = c.Caption();
      if (!caption.empty() && caption != "-" && caption != name) entries.emplace_back(prefix + ".Caption", caption);
    }
    if (ui::HasHint(kind)) {
      if (const std::string hint = c.Hint(); !hint.empty()) entries.emplace_back(prefix + ".Hint", hint);
    }
    if (kind == ui::Kind::Memo) {
      const std::vector<std::string> lines = c.Lines();
      for (std::size_t line = 0; line < lines.size() && lines[line] != name; ++line) {
        entries.emplace_back(prefix + ".Lines[" + std::to_string(line) + "]", lines[line]);
      }
    } else if (kind == ui::Kind::RadioGroup || kind == ui::Kind::ComboBox) {
      const std::vector<std::string> items = c.Lines();
      for (std::size_t item = 0; item < items.size(); ++item)
        entries.emplace_back(prefix + ".Items[" + std::to_string(item) + "]", items[item]);
    }
  }
  return entries;
}

TemplateEntries ParseDeclarations(std::string_view source) {
  // Declarations and the lines that continue them.
  std::vector<std::string> kept;
  for (const std::string_view raw : SplitLines(source)) {
    const std::string_view line = TrimBlanks(raw);
    const bool continuation = !line.empty() && (line.front() == '\'' || line.front() == '+' || line.front() == '#');
    if (line.find("='") != std::string_view::npos || continuation) kept.emplace_back(line);
  }
  for (std::size_t i = kept.size(); i-- > 1;) {
    if (kept[i].find("='") != std::string::npos) continue;
    kept[i - 1] += kept[i];
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(i));
  }
  TemplateEntries entries;
  for (std::string line : kept) {
    if (line.find("='") == std::string::npos || line.size() < 3) continue;  // a continuation with nothing before it
    line.resize(line.size() - 2);                                           // the closing quote and ";"
    const std::size_t equals = line.find('=');
    line.erase(equals + 1, 1);  // the opening quote
    ReplaceAll(line, "''", "'");
    std::string key = line.substr(0, equals), value = line.substr(equals + 1);
    // A text continued with "+": a line break.
    for (std::size_t at = value.find("'+"); at != std::string::npos; at = value.find("'+", at + 3)) {
      const std::size_t next = value.find('\'', at + 2);
      value.replace(at, next == std::string::npos ? value.size() - at : next - at + 1, "*|*");
    }
    entries.emplace_back(std::move(key), std::move(value));
  }
  return entries;
}

bool WriteLanguageTemplate(const std::vector<ui::Form*>& windows) {
  SettingsFile custom(ProgramFile("Custom.lng"), SystemCodec());
  for (ui::Form* window : windows) {
    for (const auto& [key, text] : WindowTemplate(*window)) custom.WriteString(window->Name(), key, text);
  }
  custom.UpdateFile();
  const TextFileState strings = ReadTextFile(ProgramFile("strings"), SystemCodec());
  if (!strings.exists) return false;
  for (const auto& [key, text] : ParseDeclarations(strings.text.utf8)) custom.WriteString("Misc", key, text);
  custom.UpdateFile();
  return true;
}

}  // namespace qp

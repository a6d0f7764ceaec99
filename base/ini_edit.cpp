// Changing an INI text in place.
#include "base/ini_edit.h"

#include <algorithm>
#include <cctype>

#include "base/lines.h"

namespace qp {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// One line of the text, its end included, and what it is.
struct Line {
  std::string_view text;
  bool header = false;
  std::string_view name;  // a header's section, an entry's key
  bool entry = false;     // neither blank nor a comment nor a header
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    Line line{text.substr(start, end - start)};
    start = end;
    const std::string_view content = TrimBlanks(line.text);
    if (content.size() >= 2 && content.front() == '[' && content.find(']') != std::string_view::npos) {
      line.header = true;
      line.name = TrimBlanks(content.substr(1, content.find(']') - 1));
    } else if (!content.empty() && content.front() != ';' && content.front() != '#') {
      line.entry = true;
      line.name = TrimBlanks(content.substr(0, content.find('=')));
    }
    lines.push_back(line);
  }
  return lines;
}

std::string_view LineEnd(std::string_view text) {
  const std::size_t first = text.find('\n');
  if (first == std::string_view::npos) return "\r\n";
  return first > 0 && text[first - 1] == '\r' ? "\r\n" : "\n";
}

// The line as it goes out: ended, however the text's last line was.
void Append(std::string& out, std::string_view line, std::string_view eol) {
  out.append(line);
  if (line.empty() || line.back() != '\n') out.append(eol);
}

std::string Entry(const std::pair<std::string, std::string>& e) { return e.first + "=" + e.second; }

std::string WithNewSection(std::string out, std::string_view section, const IniEntries& entries, std::string_view eol) {
  if (!out.empty() && out.back() != '\n') out.append(eol);
  Append(out, "[" + std::string(section) + "]", eol);
  for (const auto& e : entries) Append(out, Entry(e), eol);
  return out;
}

}  // namespace

std::string SetIniValues(std::string_view text, std::string_view section, const IniEntries& entries) {
  const std::string_view eol = LineEnd(text);
  const std::vector<Line> lines = Lines(text);
  // The first such section: its header and its last entry.
  std::size_t header = lines.size(), last = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (header == lines.size()) {
      if (lines[i].header && SameName(lines[i].name, section)) last = header = i;
    } else if (lines[i].header) {
      break;
    } else if (lines[i].entry) {
      last = i;
    }
  }
  if (header == lines.size()) return WithNewSection(std::string(text), section, entries, eol);
  std::vector<bool> placed(entries.size(), false);
  std::string out;
  out.reserve(text.size() + 256);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    bool replaced = false;
    if (i > header && i <= last && line.entry) {
      for (std::size_t k = 0; k < entries.size() && !replaced; ++k) {
        if (placed[k] || !SameName(line.name, entries[k].first)) continue;
        Append(out, Entry(entries[k]), eol);
        placed[k] = replaced = true;
      }
    }
    if (!replaced) out.append(line.text);
    if (i == last) {
      for (std::size_t k = 0; k < entries.size(); ++k) {
        if (!placed[k]) Append(out.empty() || out.back() == '\n' ? out : out.append(eol), Entry(entries[k]), eol);
      }
    }
  }
  return out;
}

std::string ReplaceIniSection(std::string_view text, std::string_view section, const IniEntries& entries) {
  const std::string_view eol = LineEnd(text);
  bool inside = false, written = false;
  std::string out;
  out.reserve(text.size() + 256);
  for (const Line& line : Lines(text)) {
    if (line.header) inside = SameName(line.name, section);
    if (inside && line.entry) continue;  // an old entry
    if (inside && line.header) {
      Append(out, line.text, eol);
      if (!written) {
        for (const auto& e : entries) Append(out, Entry(e), eol);
      }
      written = true;
      continue;
    }
    out.append(line.text);
  }
  return written ? out : WithNewSection(out, section, entries, eol);
}

}  // namespace qp

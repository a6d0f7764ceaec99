// The INI reader and writer of "settings.ini" and the language files.
#include "app/settings_file.h"

#include <limits>

#include "app/file_io.h"

namespace qp {
namespace {

std::string_view Trim(std::string_view s) {
  // Blanks here are all control characters and spaces, as the format's trimming has it.
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Values cannot hold line breaks: a written one would split the entry on the next load.
std::string OneLine(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    if (ch == '\r' || ch == '\n') ch = ' ';
  }
  return out;
}

}  // namespace

bool ParseIniInteger(std::string_view text, int32_t& value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("$") || text.starts_with("x") || text.starts_with("X")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t magnitude = 0;
  for (char c : text) {
    int digit = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (digit < 0) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (base == 10) {
    const uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    if (magnitude > limit) return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
  } else {
    // Hexadecimal covers the full 32 bits, so "$FFFFFFFF" is -1 as in the system's own reader.
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
  }
  return true;
}

void IniFile::Clear() {
  sections_.clear();
  index_.clear();
  section_index_.clear();
}

void IniFile::Parse(std::string_view text) {
  Clear();
  std::size_t current = std::numeric_limits<std::size_t>::max();  // before the first section
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;

    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = SectionFor(Trim(line.substr(1, line.size() - 2)));
      continue;
    }
    if (current == std::numeric_limits<std::size_t>::max()) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      AddEntry(current, Entry{std::string(line), {}, false});
    } else {
      AddEntry(current, Entry{std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1))), true});
    }
  }
}

std::string IniFile::Serialize() const {
  std::string out;
  for (const Section& section : sections_) {
    out += '[';
    out += section.name;
    out += "]\r\n";
    for (const Entry& e : section.entries) {
      out += e.key;
      if (e.has_value) {
        out += '=';
        out += e.value;
      }
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

std::size_t IniFile::SectionFor(std::string_view name) {
  auto [it, added] = section_index_.try_emplace(FoldCase(name), sections_.size());
  if (added) {
    sections_.push_back(Section{std::string(name), {}});
    index_.emplace_back();
  }
  return it->second;
}

void IniFile::AddEntry(std::size_t section, Entry entry) {
  // The first of two entries with one key is the one read and replaced.
  index_[section].entries.try_emplace(FoldCase(entry.key), sections_[section].entries.size());
  sections_[section].entries.push_back(std::move(entry));
}

const IniFile::Entry* IniFile::Find(std::string_view section, std::string_view key) const {
  auto s = section_index_.find(FoldCase(section));
  if (s == section_index_.end()) return nullptr;
  const auto& entries = index_[s->second].entries;
  auto e = entries.find(FoldCase(key));
  return e == entries.end() ? nullptr : &sections_[s->second].entries[e->second];
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const Entry* e = Find(section, key);
  return e ? e->value : std::string(def);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const Entry* e = Find(section, key);
  int32_t value;
  return e && ParseIniInteger(e->value, value) ? value : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const { return Find(section, key) != nullptr; }

bool IniFile::SectionExists(std::string_view section) const { return section_index_.count(FoldCase(section)) != 0; }

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::size_t s = SectionFor(section);
  auto e = index_[s].entries.find(FoldCase(key));
  if (e == index_[s].entries.end()) {
    AddEntry(s, Entry{std::string(key), OneLine(value), true});
  } else {
    sections_[s].entries[e->second] = Entry{std::string(key), OneLine(value), true};
  }
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void SettingsFile::Reload() {
  Clear();
  utf8_bom_ = false;
  if (!codec_) return;
  if (auto bytes = ReadFileBytes(path_)) {
    FileText text = DecodeFileText(*bytes, *codec_);
    utf8_bom_ = text.utf8_bom;
    Parse(text.utf8);
  }
}

bool SettingsFile::UpdateFile() const {
  if (!codec_) return false;
  return WriteFileAtomically(path_, EncodeFileText(Serialize(), utf8_bom_, *codec_));
}

}  // namespace qp


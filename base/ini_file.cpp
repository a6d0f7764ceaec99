// The INI reader and writer of "settings.ini" and the language files.
#include "base/ini_file.h"

#include <limits>

#include "base/error_log.h"
#include "base/file_io.h"
#include "base/integer_text.h"
#include "base/lines.h"

namespace qp {
namespace {

// Values cannot hold line breaks: a written one would split the entry on the next load.
std::string OneLine(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    if (ch == '\r' || ch == '\n') ch = ' ';
  }
  return out;
}

// The reader skips comments, so these lines decide the encoding and nothing else: no UTF-8
// holds a lone 0xA0, and valid UTF-8 with a character beyond ASCII is read as UTF-8.
constexpr std::string_view kCodePageNote = "; the system code page\xA0\r\n";
constexpr std::string_view kUtf8Note = "; UTF-8 \xE2\x80\x94 without a byte-order mark\r\n";

}  // namespace

std::string EncodeIniText(std::string_view utf8, TextEncoding encoding, const TextCodec& codec) {
  std::string bytes = EncodeFileText(utf8, encoding, codec);
  if (DecodeFileText(bytes, codec).encoding == encoding) return bytes;
  return std::string(encoding == TextEncoding::Utf8 ? kUtf8Note : kCodePageNote) + bytes;
}

void IniFile::Clear() {
  sections_.clear();
  index_.clear();
  section_index_.clear();
}

void IniFile::Parse(std::string_view text) {
  Clear();
  std::size_t current = std::numeric_limits<std::size_t>::max();  // before the first section
  for (std::string_view raw : SplitLines(text)) {
    const std::string_view line = TrimBlanks(raw);
    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = SectionFor(TrimBlanks(line.substr(1, line.size() - 2)));
      continue;
    }
    if (current == std::numeric_limits<std::size_t>::max()) continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      AddEntry(current, Entry{std::string(line), {}, false});
    } else {
      AddEntry(current, Entry{std::string(TrimBlanks(line.substr(0, eq))), std::string(TrimBlanks(line.substr(eq + 1))), true});
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
  return e && ParseInteger(e->value, value) ? value : def;
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

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) { WriteString(section, key, value ? "1" : "0"); }

void SettingsFile::Reload() {
  Clear();
  encoding_ = TextEncoding::CodePage;
  whole_ = true;
  if (!codec_) return;
  TextFileState file = ReadTextFile(path_, *codec_);
  encoding_ = file.text.encoding;
  whole_ = file.whole;
  Parse(file.text.utf8);
}

bool SettingsFile::UpdateFile() const {
  if (!codec_) return false;
  if (!whole_) {
    LogError("Not rewritten, it could not be read whole : " + path_);
    return false;
  }
  return WriteFileAtomically(path_, EncodeIniText(Serialize(), encoding_, *codec_));
}

}  // namespace qp

// The INI format of "settings.ini" and the language files, and the settings file itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/file_io.h"
#include "base/text_codec.h"

namespace qp {

// An INI document as the program reads and writes it: ordered sections of ordered
// entries, names matched without regard to case, values verbatim after "=".
class IniFile {
 public:
  struct Entry {
    std::string key;  // the whole line for an entry without "="
    std::string value;
    bool has_value = true;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  IniFile() = default;
  explicit IniFile(std::string_view utf8_text) { Parse(utf8_text); }

  // Replaces the content by the text's sections (UTF-8, any line ends).
  void Parse(std::string_view utf8_text);
  // The whole document with CR LF line ends, each section followed by an empty line.
  std::string Serialize() const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  bool SectionExists(std::string_view section) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  const std::vector<Section>& Sections() const { return sections_; }
  void Clear();

 private:
  struct Index {
    std::unordered_map<std::string, std::size_t> entries;  // folded key -> first entry
  };
  const Entry* Find(std::string_view section, std::string_view key) const;
  std::size_t SectionFor(std::string_view name);  // existing or appended
  void AddEntry(std::size_t section, Entry entry);

  std::vector<Section> sections_;
  std::vector<Index> index_;  // parallel to sections_
  std::unordered_map<std::string, std::size_t> section_index_;
};

// The bytes of an INI document in the encoding given, read back in that same encoding. The
// two encodings without a mark are told apart by the bytes alone, and a rewrite can leave a
// code-page text that passes for UTF-8 (or a UTF-8 one that is plain ASCII); such a text
// gets a comment line first that settles it.
std::string EncodeIniText(std::string_view utf8, TextEncoding encoding, const TextCodec& codec);

// An INI document bound to its file. Reads tolerate a missing or damaged file (every key
// then takes its default); UpdateFile writes the whole document safely.
class SettingsFile : public IniFile {
 public:
  SettingsFile() = default;
  // path: UTF-8.
  SettingsFile(std::string path, const TextCodec& codec) : path_(std::move(path)), codec_(&codec) { Reload(); }

  // Discards the document and loads the file anew; a missing file gives an empty one.
  void Reload();
  // Writes the whole document to the file, in the encoding it was read in. A file that
  // is there but could not be read whole is left as it is (false, and the error log says
  // so): rewriting it from what was read would lose the rest.
  bool UpdateFile() const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  const TextCodec* codec_ = nullptr;
  TextEncoding encoding_ = TextEncoding::CodePage;
  bool whole_ = true;
};

}  // namespace qp

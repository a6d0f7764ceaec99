// The request history and the input history files.
#include "organize/history.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "base/clock.h"
#include "base/file_io.h"
#include "base/lines.h"
#include "base/text_codec.h"
#include "base/working_folder.h"

namespace qp {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Each CR LF, CR or LF becomes one space, so a value stays on its line.
void AppendOnOneLine(std::string& out, std::string_view value) {
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
    out += (c == '\r' || c == '\n') ? ' ' : c;
  }
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

struct FileShape {
  TextEncoding encoding = TextEncoding::CodePage;  // as the file has it now; a new file's
  bool open_line = false;                          // has text after its last line break
};

// The encoding from the whole file: a UTF-8 history may begin with any amount of ASCII,
// and a line appended in the code page would garble every Cyrillic line of it.
FileShape ShapeOf(const std::string& path) {
  FileShape shape;
  File file(path, File::Mode::Read);
  if (!file.IsOpen()) return shape;
  shape.encoding = EncodingOfFile(file);
  const bool wide = shape.encoding == TextEncoding::Utf16Le || shape.encoding == TextEncoding::Utf16Be;
  const std::uint64_t content_start = shape.encoding == TextEncoding::Utf8Bom ? kUtf8Bom.size() : wide ? 2 : 0;
  const std::uint64_t unit = wide ? 2 : 1;
  const std::optional<std::uint64_t> size = file.Size();
  char last[2] = {};
  if (!size || *size < content_start + unit || !file.Seek(*size - unit) || file.Read(last, unit).value_or(0) != unit) return shape;
  const char character = !wide ? last[0] : shape.encoding == TextEncoding::Utf16Le ? (last[1] ? 'x' : last[0]) : (last[0] ? 'x' : last[1]);
  shape.open_line = character != '\n' && character != '\r';
  return shape;
}

bool SaveText(std::string_view name, std::string_view utf8_text) { return RewriteTextFile(ProgramFile(name), utf8_text, SystemCodec()); }

std::optional<std::string> LoadText(std::string_view name) {
  std::optional<std::string> bytes = ReadFileBytes(ProgramFile(name));
  if (!bytes) return std::nullopt;
  return DecodeFileText(*bytes, SystemCodec()).utf8;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool ContainsIgnoringCase(std::string_view text, std::string_view what) {
  return !what.empty() && FoldCase(text).find(FoldCase(what)) != std::string::npos;
}

}  // namespace

// ---- Request history -------------------------------------------------------------

std::string& HistoryRecord::Field(std::size_t column) {
  return const_cast<std::string&>(static_cast<const HistoryRecord&>(*this).Field(column));
}

const std::string& HistoryRecord::Field(std::size_t column) const {
  switch (column) {
    case 0: return comment;
    case 1: return request;
    case 2: return time;
    case 3: return service;
    case 4: return button;
    case 5: return mailbox;
    default: return extra.at(column - kHistoryFieldCount);
  }
}

std::string FormatHistoryLine(const HistoryRecord& record) {
  std::string line;
  for (std::size_t i = 0; i < record.FieldCount(); ++i) {
    if (i) line += ';';
    line += '"';
    std::string value;
    AppendOnOneLine(value, record.Field(i));
    for (char c : value) {
      if (c == '"') line += '"';
      line += c;
    }
    line += '"';
  }
  line += kLineEnd;
  return line;
}

std::vector<std::string> SplitHistoryFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  while (true) {
    while (pos < line.size() && line[pos] == ';') ++pos;
    if (pos >= line.size()) break;
    std::string field;
    if (line[pos] == '"') {
      ++pos;
      while (pos < line.size()) {
        if (line[pos] != '"') {
          field += line[pos++];
        } else if (pos + 1 < line.size() && line[pos + 1] == '"') {
          field += '"';
          pos += 2;
        } else {
          ++pos;  // the closing quote
          break;
        }
      }
    }
    // An unquoted field, or what a damaged line has after a closing quote: to the next ";".
    std::size_t end = std::min(line.find(';', pos), line.size());
    field.append(line.substr(pos, end - pos));
    pos = end;
    fields.push_back(std::move(field));
  }
  return fields;
}

HistoryRecord ParseHistoryLine(std::string_view line) {
  HistoryRecord record;
  std::vector<std::string> fields = SplitHistoryFields(line);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i < kHistoryFieldCount) {
      record.Field(i) = std::move(fields[i]);
    } else {
      record.extra.push_back(std::move(fields[i]));
    }
  }
  return record;
}

std::vector<HistoryRecord> ParseHistoryText(std::string_view utf8_text) {
  std::vector<HistoryRecord> records;
  for (std::string_view line : SplitLines(utf8_text)) {
    if (!line.empty()) records.push_back(ParseHistoryLine(line));
  }
  return records;
}

std::string FormatHistoryText(const std::vector<HistoryRecord>& records) {
  std::string text;
  for (const HistoryRecord& record : records) text += FormatHistoryLine(record);
  return text;
}

bool AppendHistoryLine(const HistoryRecord& record) {
  const std::string path = ProgramFile(kHistoryFile);
  FileShape shape = ShapeOf(path);
  std::string line = FormatHistoryLine(record);
  if (shape.open_line) line.insert(0, kLineEnd);
  return AppendToFile(path, EncodeText(line, shape.encoding, SystemCodec()));
}

std::optional<std::vector<HistoryRecord>> LoadHistory() {
  std::optional<std::string> text = LoadText(kHistoryFile);
  if (!text) return std::nullopt;
  return ParseHistoryText(*text);
}

bool SaveHistory(const std::vector<HistoryRecord>& records) { return SaveText(kHistoryFile, FormatHistoryText(records)); }

bool ClearHistory() { return WriteFileAtomically(ProgramFile(kHistoryFile), ""); }

// ---- The time field ----------------------------------------------------------------

std::string HistoryTimeText(const Timestamp& stamp) {
  if (stamp.midnight) return stamp.date;
  return stamp.date + " " + stamp.time;
}

std::string CurrentHistoryTime() { return HistoryTimeText(Now()); }

DateOrder DateOrderOf(std::string_view picture) {
  std::string parts;  // first appearance of each of d, m, y
  bool quoted = false;
  for (char c : picture) {
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    char part = static_cast<char>(c | 0x20);  // the letters only, folded
    if ((part == 'd' || part == 'm' || part == 'y') && parts.find(part) == std::string::npos) parts += part;
  }
  if (parts.starts_with('y')) return DateOrder::YearMonthDay;
  std::size_t month = parts.find('m'), day = parts.find('d');
  if (month != std::string::npos && (day == std::string::npos || month < day)) return DateOrder::MonthDayYear;
  return DateOrder::DayMonthYear;
}

std::optional<std::int64_t> HistoryTimeKey(std::string_view text, const HistoryTimeFormat& format) {
  constexpr std::size_t kGroups = 6;
  int value[kGroups] = {};
  std::size_t digits[kGroups] = {};
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size() && count < kGroups;) {
    if (!IsDigit(text[pos])) {
      ++pos;
      continue;
    }
    std::size_t start = pos;
    int v = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      if (pos - start >= 4) return std::nullopt;  // no part of a date or time is that long
      v = v * 10 + (text[pos] - '0');
    }
    digits[count] = pos - start;
    value[count++] = v;
  }
  if (count < 3) return std::nullopt;

  std::size_t d = 0, m = 1, y = 2;
  if (format.order == DateOrder::MonthDayYear) d = 1, m = 0;
  if (format.order == DateOrder::YearMonthDay) y = 0, m = 1, d = 2;
  int year = value[y], month = value[m], day = value[d];
  if (digits[y] <= 2) year += year < 50 ? 2000 : 1900;
  int hour = value[3], minute = value[4], second = value[5];
  if (count > 3) {
    if (ContainsIgnoringCase(text, format.pm_designator)) {
      if (hour < 12) hour += 12;
    } else if (ContainsIgnoringCase(text, format.am_designator) && hour == 12) {
      hour = 0;
    }
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  std::int64_t key = year;
  key = key * 12 + (month - 1);
  key = key * 31 + (day - 1);
  key = key * 24 + hour;
  key = key * 60 + minute;
  return key * 60 + second;
}

void SortHistoryByTime(std::vector<HistoryRecord>& records, bool ascending, const HistoryTimeFormat& format) {
  // Each time is read once, not once per comparison.
  std::vector<std::optional<std::int64_t>> keys;
  keys.reserve(records.size());
  for (const HistoryRecord& record : records) keys.push_back(HistoryTimeKey(record.time, format));
  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return ascending ? keys[a] < keys[b] : keys[b] < keys[a];  // an unread time is below every other
  });
  std::vector<HistoryRecord> sorted;
  sorted.reserve(records.size());
  for (std::size_t i : order) sorted.push_back(std::move(records[i]));
  records = std::move(sorted);
}

// ---- The history window's rows ---------------------------------------------------

std::vector<HistoryRecord> RecordsAddedSince(const std::vector<HistoryRecord>& before, const std::vector<HistoryRecord>& now) {
  std::unordered_map<std::string, std::size_t> known;  // by the line each record makes
  for (const HistoryRecord& record : before) ++known[FormatHistoryLine(record)];
  std::vector<HistoryRecord> added;
  for (const HistoryRecord& record : now) {
    auto it = known.find(FormatHistoryLine(record));
    if (it != known.end() && it->second > 0) {
      --it->second;
    } else {
      added.push_back(record);
    }
  }
  return added;
}

bool HistoryRows::Refresh(std::optional<std::vector<HistoryRecord>> file) {
  if (!file) return false;
  if (!changed_) {
    const bool different = rows_ != *file;
    rows_ = *file;
    read_ = std::move(*file);
    return different;
  }
  std::vector<HistoryRecord> added = RecordsAddedSince(read_, *file);
  read_ = std::move(*file);
  rows_.insert(rows_.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
  return !added.empty();
}

void HistoryRows::SetComment(std::size_t row, std::string comment) {
  if (row >= rows_.size() || rows_[row].comment == comment) return;
  rows_[row].comment = std::move(comment);
  changed_ = true;
}

void HistoryRows::Delete(std::size_t row) {
  if (row >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  changed_ = true;
}

void HistoryRows::SortByTime(bool ascending, const HistoryTimeFormat& format) {
  SortHistoryByTime(rows_, ascending, format);
  changed_ = true;
}

void HistoryRows::Saved() {
  read_ = rows_;
  changed_ = false;
}

void HistoryRows::Cleared() {
  rows_.clear();
  Saved();
}

// ---- Input history ---------------------------------------------------------------

bool AddToInputHistory(std::vector<std::string>& entries, std::string_view text) {
  if (IsBlank(text)) return false;
  if (std::find(entries.begin(), entries.end(), text) != entries.end()) return false;
  // Cut to 200, not just drop entry 201: a hand-lengthened file must not keep the list
  // above the limit for good.
  if (entries.size() >= kInputHistoryLimit - 1) entries.resize(kInputHistoryLimit - 1);
  entries.insert(entries.begin(), std::string(text));
  return true;
}

std::vector<std::string> LoadInputHistory() {
  std::vector<std::string> entries;
  std::optional<std::string> text = LoadText(kInputHistoryFile);
  if (!text) return entries;
  for (std::string_view line : SplitLines(*text)) {
    if (!IsBlank(line)) entries.emplace_back(line);
  }
  return entries;
}

bool SaveInputHistory(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& entry : entries) {
    AppendOnOneLine(text, entry);
    text += kLineEnd;
  }
  return SaveText(kInputHistoryFile, text);
}

}  // namespace qp

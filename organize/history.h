// The request history "history.log" and the input history "recent.cfg": their formats,
// the per-letter append, the history window's reload, rewrite and time sort.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"

namespace qp {

inline constexpr std::string_view kHistoryFile = "history.log";
inline constexpr std::string_view kInputHistoryFile = "recent.cfg";

// ---- Request history -------------------------------------------------------------

inline constexpr std::size_t kHistoryFieldCount = 6;

// One letter of the history, one row of the history window; fields in file order.
struct HistoryRecord {
  std::string comment;  // or the "no comment" message
  std::string request;  // the request proper, without the comment
  std::string time;     // as HistoryTimeText makes it
  std::string service;  // recipient address
  std::string button;   // the button's "Name"
  std::string mailbox;  // Email of the active profile
  // Fields after the sixth on a damaged line: carried along so that the window's
  // rewrite gives back everything it read.
  std::vector<std::string> extra;

  // Column i of the window: 0..5 the fields above, then the extra ones.
  std::string& Field(std::size_t column);
  const std::string& Field(std::size_t column) const;
  std::size_t FieldCount() const { return kHistoryFieldCount + extra.size(); }

  bool operator==(const HistoryRecord&) const = default;
};

// Every field in double quotes with inner quotes doubled, ";" between fields, CR LF.
// A line break inside a field would split the record, so each CR LF, CR or LF in a
// value is written as one space.
std::string FormatHistoryLine(const HistoryRecord& record);

// The fields of one line (without its line end), read tolerantly: a quoted field runs to
// its closing quote ("" standing for one quote; anything after the closing quote up to
// the next ";" is kept as part of the field; an unclosed one runs to the line end), an
// unquoted one to the next ";"; runs of ";" are skipped, so unquoted empty fields vanish.
std::vector<std::string> SplitHistoryFields(std::string_view line);
// The record of one line: missing fields are empty, fields beyond six go to `extra`.
HistoryRecord ParseHistoryLine(std::string_view line);

// UTF-8 file text to records: one per non-empty line (CR LF, LF or CR end a line).
std::vector<HistoryRecord> ParseHistoryText(std::string_view utf8_text);
// Records to UTF-8 file text, every line ended by CR LF; no records give "".
std::string FormatHistoryText(const std::vector<HistoryRecord>& records);

// Appends one line to "history.log" in the working folder, creating the file; opened,
// written, flushed and closed for this line alone. The line is in the system code page,
// or UTF-8 when the file begins with a UTF-8 byte-order mark. When the file's last line
// was left unfinished (a crash in the middle of a write), the new line starts on a line
// of its own. false when the file could not be written.
bool AppendHistoryLine(const HistoryRecord& record);

// The window's reload: nullopt when "history.log" does not exist (or cannot be read),
// so the window keeps its rows; otherwise every non-empty line as a record.
std::optional<std::vector<HistoryRecord>> LoadHistory();
// The window's close: replaces "history.log" by the records, safely against a crash,
// in the encoding the file has now. No records leave an empty file.
bool SaveHistory(const std::vector<HistoryRecord>& records);
// The clear command: "history.log" stays, with length zero.
bool ClearHistory();

// ---- The time field ----------------------------------------------------------------

// date, or date + " " + time unless it is midnight.
std::string HistoryTimeText(const Timestamp& stamp);
// The time field for a line composed now, by the installed clock (base/clock.h).
std::string CurrentHistoryTime();

// How the system's short date format orders its parts.
enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };
// The order of a Windows date picture ("dd.MM.yyyy", "M/d/yyyy", "yyyy-MM-dd", quoted
// literals skipped); DayMonthYear when the picture names no part.
DateOrder DateOrderOf(std::string_view short_date_picture);

// What is needed to read a time field back as a moment.
struct HistoryTimeFormat {
  DateOrder order = DateOrder::DayMonthYear;
  std::string am_designator = "AM", pm_designator = "PM";  // of a 12-hour long time
};

// A number that orders time fields as moments, or nullopt for a text that is not a
// date (and time) in that format. The first three digit groups are the date, the next
// up to three hours, minutes and seconds (missing ones 0); one- and two-digit years
// read as 1950..2049; the PM designator anywhere in the text makes hours 1..11 p.m.
std::optional<std::int64_t> HistoryTimeKey(std::string_view text, const HistoryTimeFormat& format);

// Sorts rows by their time field, stably. Ascending puts rows whose time cannot be read
// first; descending is the exact reverse order of keys (they come last).
void SortHistoryByTime(std::vector<HistoryRecord>& records, bool ascending, const HistoryTimeFormat& format);

// ---- The history window's rows ---------------------------------------------------

// What the history window shows and writes back: the records in row order (whole, every
// field, however long), the file as last read, and whether the user changed anything since.
// Letters are logged while the window is open, so "history.log" is only rewritten after a
// change, and then with the lines added meanwhile kept.
class HistoryRows {
 public:
  // Takes the file as it is now (nullopt: missing or unreadable, nothing changes). Rows the
  // user left alone become the file; changed ones keep the changes and gain, at the end, the
  // records the file gained since it was last read. true when the rows are different now.
  bool Refresh(std::optional<std::vector<HistoryRecord>> file);

  const std::vector<HistoryRecord>& Rows() const { return rows_; }
  bool Changed() const { return changed_; }

  void SetComment(std::size_t row, std::string comment);
  void Delete(std::size_t row);
  void SortByTime(bool ascending, const HistoryTimeFormat& format);
  // The file was rewritten from the rows.
  void Saved();
  // The file was emptied: no row, and nothing of the rows is to be written back.
  void Cleared();

 private:
  std::vector<HistoryRecord> rows_, read_;
  bool changed_ = false;
};

// The records of `now` (the file as it is) that `before` (the file as it was read) did not
// hold, in file order: each record of `before` accounts for one equal record of `now`.
std::vector<HistoryRecord> RecordsAddedSince(const std::vector<HistoryRecord>& before, const std::vector<HistoryRecord>& now);

// ---- Input history ---------------------------------------------------------------

inline constexpr std::size_t kInputHistoryLimit = 201;

// Takes the request line's text into the drop-down list, newest first. A blank text or
// one already in the list (compared case-sensitively) changes nothing. Before the text is
// put on top of a list of 200 entries or more, the list is cut to 200, so it never holds
// more than 201. true when the text was added.
bool AddToInputHistory(std::vector<std::string>& entries, std::string_view text);

// "recent.cfg" of the working folder, one entry a line; blank lines are no entries. A
// missing file gives an empty list.
std::vector<std::string> LoadInputHistory();
// Replaces "recent.cfg" by the entries, in the encoding the file has now; a line break
// inside an entry is written as a space so that it stays one entry.
bool SaveInputHistory(const std::vector<std::string>& entries);

}  // namespace qp

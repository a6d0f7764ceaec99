// Composition of subject and body from a button's templates.
#include "request/compose.h"

#include <algorithm>

#include "base/integer_text.h"
#include "base/lines.h"
#include "lang/language.h"
#include "request/buttons.h"

namespace qp {
namespace {

constexpr std::size_t kAddressChars = 255;
constexpr std::string_view kDirLine = "cd %dir%";
// Body placeholders in the order they are filled.
constexpr std::string_view kBodyPlaceholders[] = {"%request%", "%host%", "%dir%", "%filename%", "%password%", "%size%", "%counter%"};

bool HasPlaceholder(std::string_view line) {
  return std::any_of(std::begin(kBodyPlaceholders), std::end(kBodyPlaceholders),
                     [&](std::string_view p) { return line.find(p) != std::string_view::npos; });
}

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(what, pos)) != std::string_view::npos; pos = hit + what.size()) {
    out.append(text.substr(pos, hit - pos)).append(with);
  }
  out.append(text.substr(pos));
  return out;
}

AddressParts SplitRequestAddress(std::string_view request) {
  AddressParts parts;
  std::string_view s = CutChars(request, kAddressChars);
  if (std::size_t scheme = s.find("://"); scheme != std::string_view::npos) s.remove_prefix(scheme + 3);
  std::size_t slash = s.find('/');
  if (slash == std::string_view::npos) {
    parts.host = std::string(s);
    return parts;
  }
  parts.host = std::string(s.substr(0, slash));
  s.remove_prefix(slash + 1);
  while ((slash = s.find('/')) != std::string_view::npos) {
    parts.dir += '/';
    if (s.find('.') != std::string_view::npos) {
      parts.dir += s.substr(0, slash);
      s.remove_prefix(slash + 1);
    } else {
      parts.dir += s;  // no dot left: the whole remainder is directories
      s = {};
    }
  }
  parts.filename = std::string(s);
  return parts;
}

RequestText SeparateComment(std::string_view text) {
  std::size_t bar = text.rfind('|');
  if (bar == std::string_view::npos) return {std::string(text), LookupMessage("Нет комментария", "textNoComments")};
  return {std::string(text.substr(0, bar)), std::string(text.substr(bar + 1))};
}

void WorkingBody::Clear() {
  lines_.clear();
  pending_.clear();
}

std::string WorkingBody::Text() const { return JoinLines(lines_); }

struct Composer {
  // Drops the lines that are exactly "cd %dir%" among the pending ones; such lines always
  // hold a placeholder, so no other line can be one.
  static void DropDirLines(WorkingBody& body) {
    auto& lines = body.lines_;
    auto& pending = body.pending_;
    auto first = std::find_if(pending.begin(), pending.end(), [&](std::size_t i) { return lines[i] == kDirLine; });
    if (first == pending.end()) return;
    std::vector<std::size_t> kept(pending.begin(), first);
    std::size_t write = *first, removed = 0;
    for (std::size_t read = *first; read < lines.size(); ++read) {
      const bool is_pending = std::binary_search(pending.begin(), pending.end(), read);
      if (is_pending && lines[read] == kDirLine) {
        ++removed;
        continue;
      }
      if (is_pending) kept.push_back(read - removed);
      if (write != read) lines[write] = std::move(lines[read]);
      ++write;
    }
    lines.resize(write);
    pending = std::move(kept);
  }

  static void Append(WorkingBody& body, std::vector<std::string> lines) {
    for (std::string& line : lines) {
      if (HasPlaceholder(line)) body.pending_.push_back(body.lines_.size());
      body.lines_.push_back(std::move(line));
    }
  }

  static void Fill(WorkingBody& body, const std::string_view (&values)[7]) {
    std::vector<std::size_t> still;
    for (std::size_t i : body.pending_) {
      std::string& line = body.lines_[i];
      for (std::size_t p = 0; p < std::size(kBodyPlaceholders); ++p) {
        if (line.find(kBodyPlaceholders[p]) != std::string::npos) line = ReplaceAll(line, kBodyPlaceholders[p], values[p]);
      }
      if (HasPlaceholder(line)) still.push_back(i);
    }
    body.pending_ = std::move(still);
  }
};

ComposedRequest ComposeRequest(const IniFile& buttons, int number, std::string_view request_text, const TemplateValues& values,
                               WorkingBody& body) {
  std::string subject = buttons.ReadString(ButtonSection(number), "Subject", "");
  Composer::Append(body, ReadBodyTemplate(buttons, number));
  RequestText text = SeparateComment(request_text);
  AddressParts parts = SplitRequestAddress(text.request);
  if (parts.dir.empty()) Composer::DropDirLines(body);
  const std::string counter = std::to_string(values.counter);
  const std::string_view filled[7] = {text.request, parts.host, parts.dir, parts.filename, values.password, values.size, counter};
  Composer::Fill(body, filled);

  subject = ReplaceAll(subject, "%request%", text.request);
  subject = ReplaceAll(subject, "%counter%", counter);
  subject = ReplaceAll(subject, "%password%", values.password);
  return {std::move(subject), std::move(text.request), std::move(text.comment)};
}

void RequestCounter::Set(std::string_view text) {
  int32_t parsed;
  if (ParseInteger(text, parsed)) start = parsed;
  value = start;
}

}  // namespace qp

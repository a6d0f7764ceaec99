// Turning a request text and a button's templates into a letter's subject and body.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/ini_file.h"

namespace qp {

// Host, directory (empty or beginning with "/") and file name of a request.
struct AddressParts {
  std::string host, dir, filename;
};
AddressParts SplitRequestAddress(std::string_view request);

// The request proper and its comment: the text after the last "|", or the "no comment"
// message when there is none.
struct RequestText {
  std::string request, comment;
};
RequestText SeparateComment(std::string_view text);

// What the profile and the counter put into the templates.
struct TemplateValues {
  std::string password;
  std::string size = "500";
  int32_t counter = 0;
};

// The lines a letter body is composed into. Requests of one letter append to it; lines
// already filled hold no placeholder and are never looked at again, so a letter of many
// requests composes in time proportional to its length.
class WorkingBody {
 public:
  void Clear();
  const std::vector<std::string>& Lines() const { return lines_; }
  std::string Text() const;  // lines joined with CR LF

 private:
  friend struct Composer;
  std::vector<std::string> lines_;
  std::vector<std::size_t> pending_;  // lines that still hold a placeholder, ascending
};

struct ComposedRequest {
  std::string subject, request, comment;
};

// Appends button N's body template to the working body, fills its placeholders and
// gives back the filled subject, the request proper and the comment.
ComposedRequest ComposeRequest(const IniFile& buttons, int number, std::string_view request_text, const TemplateValues& values,
                               WorkingBody& body);

// Replaces every occurrence in one left-to-right pass; inserted text is not re-examined.
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with);

// The "%counter%" counter: in memory only, 0 at every start.
struct RequestCounter {
  int32_t value = 0;
  int32_t start = 0;
  void Reset() { value = start; }
  // A text that is not an integer leaves the start value; the value follows it either way.
  void Set(std::string_view text);
  // After a letter. Past the largest value it starts again from 0.
  void Advance() { value = value == INT32_MAX ? 0 : value + 1; }
};

}  // namespace qp

// "link.txt": the browser's context-menu page writes the chosen address as its first line
// into the program folder; the link watcher takes it from there.
#pragma once

#include <string>
#include <string_view>

#include "base/text_codec.h"

namespace qp {

inline constexpr std::string_view kLinkFile = "link.txt";

struct TakenLink {
  bool taken = false;      // the file was read and is gone
  std::string first_line;  // may be empty: then there is nothing to do
};

// Reads the first line of the file and deletes it. A file that is not there, or that its
// writer still holds open, is left for the next look.
TakenLink TakeLinkFile(const std::string& path, const TextCodec& codec);

}  // namespace qp

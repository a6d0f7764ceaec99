// Taking "link.txt".
#include "capture/link_file.h"

#include "base/file_io.h"
#include "base/file_system.h"
#include "base/lines.h"

namespace qp {

TakenLink TakeLinkFile(const std::string& path, const TextCodec& codec) {
  TakenLink link;
  if (!FileExists(path)) return link;
  std::string bytes;
  {
    File file(path, File::Mode::ReadAlone);
    if (!file.IsOpen()) return link;  // still being written: the next look takes it
    char buffer[4096];
    // The first line is all that counts; a few kilobytes hold it.
    for (int chunk = 0; chunk < 16; ++chunk) {
      const std::optional<std::size_t> got = file.Read(buffer, sizeof buffer);
      if (!got) return link;
      if (*got == 0) break;
      bytes.append(buffer, *got);
    }
  }
  RemoveFile(path);
  link.taken = true;
  const std::string text = DecodeFileText(bytes, codec).utf8;  // the lines point into it
  const std::vector<std::string_view> lines = SplitLines(text);
  if (!lines.empty()) link.first_line = std::string(lines.front());
  return link;
}

}  // namespace qp

// What the whole program shares.
#include "base/process.h"

namespace qp {

ProcessState& Process() {
  static ProcessState state;
  return state;
}

void ResetProcess() { Process() = ProcessState{}; }

void SetWorkingFolder(std::string folder) { Process().working_folder = std::move(folder); }
void SetSystemCodec(const TextCodec* codec) { Process().codec = codec; }
void SetClock(std::function<Timestamp()> clock) { Process().clock = std::move(clock); }

void SetCurrentLanguage(int number, std::unique_ptr<IniFile> file) {
  Process().language_number = number;
  Process().language_file = std::move(file);
}

void SetStatusSink(std::function<void(std::string_view)> sink) { Process().status_sink = std::move(sink); }

}  // namespace qp

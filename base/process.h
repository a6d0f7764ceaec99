// What the whole program shares, in one place: the working folder, the system's code page
// and clock, the current language and where the status line goes. The start-up installs
// each once; a test resets them all after every case.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/ini_file.h"
#include "base/text_codec.h"

namespace qp {

struct ProcessState {
  std::string working_folder = ".";  // UTF-8; every file the program keeps lives here
  const TextCodec* codec = nullptr;  // the system's code page; nullptr: Windows-1252
  std::function<Timestamp()> clock;  // the system's formats; empty: PortableNow
  int language_number = 0;
  std::unique_ptr<IniFile> language_file;             // nullptr: the built-in texts
  std::function<void(std::string_view)> status_sink;  // the main window's status line
  std::string last_status;
};

// The one instance. Read it through the accessors of the modules that own each part
// (WorkingFolder, SystemCodec, Now, CurrentLanguageFile, ShowStatus).
ProcessState& Process();
// Everything back to how it is before the start-up installs anything.
void ResetProcess();

void SetWorkingFolder(std::string folder);
void SetSystemCodec(const TextCodec* codec);
void SetClock(std::function<Timestamp()> clock);
void SetCurrentLanguage(int number, std::unique_ptr<IniFile> file);
void SetStatusSink(std::function<void(std::string_view)> sink);

}  // namespace qp

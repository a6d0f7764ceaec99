// The system's code page and date formats, handed to the portable code at start.
#include "app/system_win.h"

#include <windows.h>

#include "ui/text_win.h"

namespace qp {

LogTimestamp SystemLogTimestamp() {
  wchar_t date[80] = {}, time[80] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 80);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, 80);
  return {ui::Narrow(date), ui::Narrow(time)};
}

void InstallSystemServices() {
  static const ui::SystemCodePageCodec system_codec;
  SetSystemCodec(&system_codec);
  SetLogClock(SystemLogTimestamp);
}

}  // namespace qp

// The system's code page and date formats, handed to the portable code at start.
#include "app/system_win.h"

#include <windows.h>

#include "base/process.h"
#include "ui/text_win.h"

namespace qp {

Timestamp SystemTimestamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[80] = {}, time[80] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 80);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 80);
  return {ui::Narrow(date), ui::Narrow(time), now.wHour == 0 && now.wMinute == 0 && now.wSecond == 0};
}

void InstallSystemServices() {
  static const ui::SystemCodePageCodec system_codec;
  SetSystemCodec(&system_codec);
  SetClock(SystemTimestamp);
}

}  // namespace qp

#include "platform/win32/win_clock.h"

#include <windows.h>
#include <mmsystem.h>

namespace th::win32 {

platform::LocalTime WinClock::now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::uint32_t WinClock::milliseconds() { return timeGetTime(); }

void WinClock::sleep(std::uint32_t ms) { Sleep(ms); }

}  // namespace th::win32

#include "platform/win32/win_clock.h"

#include <windows.h>

namespace th::win32 {

platform::LocalTime WinClock::now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// Kept to 32 bits: callers count differences modulo 2^32, as they would
// with any wrapping millisecond counter.
std::uint32_t WinClock::milliseconds() { return static_cast<std::uint32_t>(GetTickCount64()); }

void WinClock::sleep(std::uint32_t ms) { Sleep(ms); }

}  // namespace th::win32

#include "platform/win32/win_wmi.h"

#include "support/failure.h"

namespace th::win32 {

// Not built yet: every connection fails, so collectors log and go on.
std::unique_ptr<platform::WmiConnection> WinWmi::connect(const std::string&) {
  throw Failure("WMI に接続できません。");
}

}  // namespace th::win32

#pragma once
#include "platform/clock.h"
#include "platform/system_info.h"

namespace th::win32 {

class WinClock : public platform::Clock {
 public:
  platform::LocalTime now() override;
  std::uint32_t milliseconds() override;
  void sleep(std::uint32_t ms) override;
};

class WinSystemInfo : public platform::SystemInfo {
 public:
  std::string computerName() override;
  std::string computerNameEx(int format) override;
  std::optional<std::string> environment(const std::string& name) override;
};

}  // namespace th::win32

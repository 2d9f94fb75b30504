#pragma once
// The clock seam on Windows: local time, the millisecond counter, sleeping.
#include "platform/clock.h"

namespace th::win32 {

class WinClock : public platform::Clock {
 public:
  platform::LocalTime now() override;
  std::uint32_t milliseconds() override;
  void sleep(std::uint32_t ms) override;
};

}  // namespace th::win32

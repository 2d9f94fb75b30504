#pragma once
#include <cstdint>

namespace th::platform {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() = 0;
  // The system millisecond counter; wraps at 2^32.
  virtual std::uint32_t milliseconds() = 0;
  // Blocks the thread; dispatches nothing.
  virtual void sleep(std::uint32_t ms) = 0;
};

}  // namespace th::platform

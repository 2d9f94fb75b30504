#pragma once
// The notice on screen during the fixed waits before the entry form: without
// it the program shows nothing for over half a minute and looks as if it had
// not started. Its bar fills with the share of the waits that has passed.
#include <cstdint>

#include "platform/platform.h"

namespace th {

class WaitingNotice {
 public:
  // Shows the notice, its bar empty; `totalMilliseconds` is the sum of the waits to come.
  WaitingNotice(platform::Platform& os, std::int32_t totalMilliseconds);
  ~WaitingNotice() { Close(); }
  WaitingNotice(const WaitingNotice&) = delete;
  WaitingNotice& operator=(const WaitingNotice&) = delete;

  // WaitTimer, moving the bar at every check.
  void Wait(std::int32_t milliseconds);
  void Close();

 private:
  platform::Platform& os_;
  double total_;
  double done_ = 0;  // milliseconds of the earlier waits
  bool open_ = true;
};

}  // namespace th

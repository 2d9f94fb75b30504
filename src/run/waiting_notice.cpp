#include "run/waiting_notice.h"

#include <algorithm>

#include "support/process_exec.h"

namespace th {

WaitingNotice::WaitingNotice(platform::Platform& os, std::int32_t totalMilliseconds)
    : os_(os), total_(std::max<std::int32_t>(totalMilliseconds, 1)) {
  os_.ui.showNotice(platform::kNoticePreparing);
  os_.ui.setNoticeProgress(0);
}

void WaitingNotice::Wait(std::int32_t milliseconds) {
  WaitTimer(os_, milliseconds, [this](std::uint32_t elapsed) {
    os_.ui.setNoticeProgress(std::min(1.0, (done_ + elapsed) / total_));
  });
  done_ += std::max<std::int32_t>(milliseconds, 0);
}

void WaitingNotice::Close() {
  if (!open_) return;
  open_ = false;
  os_.ui.closeNotice();
}

}  // namespace th

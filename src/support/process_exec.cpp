#include "support/process_exec.h"

#include <cmath>

#include "platform/failure.h"

namespace th {

std::int16_t ShellWait(platform::Platform& os, const std::string& commandLine, platform::ShowWindow show,
                       const std::string& currentFolder) {
  try {
    auto process = os.processes.start(platform::SystemProgram::kCmd, commandLine, show, currentFolder);
    // Waits on the process itself instead of polling its exit code: no busy
    // loop, and a child that exits with 259 is not taken for a running one.
    process->waitPumping();
    return 0;
  } catch (const Failure&) {
    return -1;  // not started: the caller learns only this
  }
}

std::int16_t ShellWaitOnPath(platform::Platform& os, const std::string& head, const std::string& path,
                             std::string (*quote)(const std::string&), platform::ShowWindow show) {
  const auto sep = path.rfind('\\');
  const std::string folder = sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
  if (path.find('%') == std::string::npos) return ShellWait(os, head + quote(path), show, folder);
  if (sep == std::string::npos || path.find('%', sep) != std::string::npos) return -1;
  return ShellWait(os, head + quote(path.substr(sep + 1)), show, folder);
}

void SleepTime(platform::Platform& os, TimeUnit /*milliseconds, the only unit*/, double amount) {
  if (!(amount > 0)) return;
  const double ms = std::nearbyint(amount);  // default rounding mode: half to even
  if (ms >= 1) os.clock.sleep(static_cast<std::uint32_t>(std::fmin(ms, 4294967295.0)));
}

bool WaitTimer(platform::Platform& os, std::int32_t milliseconds) { return WaitTimer(os, milliseconds, {}); }

bool WaitTimer(platform::Platform& os, std::int32_t milliseconds,
               const std::function<void(std::uint32_t elapsed)>& onCheck) {
  const std::uint32_t start = os.clock.milliseconds();
  const std::uint32_t wanted = milliseconds > 0 ? static_cast<std::uint32_t>(milliseconds) : 0;
  while (true) {
    const std::uint32_t elapsed = os.clock.milliseconds() - start;  // modulo 2^32
    if (onCheck) onCheck(elapsed < wanted ? elapsed : wanted);
    if (elapsed >= wanted) return true;
    os.ui.pumpMessages();
    os.clock.sleep(1000);
  }
}

std::string DQuote(const std::string& text) { return "\"" + text + "\""; }
std::string SQuote(const std::string& text) { return "'" + text + "'"; }

}  // namespace th

#pragma once
// Starting commands and waiting: for a process, for time, or a plain pause.
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace th {

// Starts the command line and returns once its process has ended: 0 when it
// started, -1 when it could not be started.
std::int16_t ShellWait(platform::Platform& os, const std::string& commandLine, platform::ShowWindow show);
// Unit 0 is milliseconds; the amount is rounded half to even. Blocks without
// dispatching window messages.
void SleepTime(platform::Platform& os, std::int16_t unit, double amount);
// Waits at least the given time, checking once a second and letting window
// events run between checks. Always true.
bool WaitTimer(platform::Platform& os, std::int32_t milliseconds);

std::string DQuote(const std::string& text);
std::string SQuote(const std::string& text);

}  // namespace th

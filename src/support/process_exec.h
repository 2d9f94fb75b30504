#pragma once
// Starting commands and waiting: for a process, for time, or a plain pause.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

namespace th {

// Starts the system's cmd with the command line (which names cmd, as
// "cmd /c ..." or "cmd.exe /c ...") in `currentFolder` (empty: the system
// folder) and returns once its process has ended: 0 when it started, -1 when
// it could not be started.
std::int16_t ShellWait(platform::Platform& os, const std::string& commandLine, platform::ShowWindow show,
                       const std::string& currentFolder = {});
// cmd replaces %NAME% by the variable's value even between double quotes, so
// a path holding "%" cannot go on its command line as it is: a folder named
// "x %OS% y" would make cmd use another path. The command `head` + the
// quoted path is run through ShellWait from the path's own folder, with only
// its file name on the command line when the path holds a "%", otherwise
// with the quoted full path. `quote` makes the quoted form of the path. -1
// when the file name itself holds "%".
std::int16_t ShellWaitOnPath(platform::Platform& os, const std::string& head, const std::string& path,
                             std::string (*quote)(const std::string&), platform::ShowWindow show);
// The units SleepTime knows: milliseconds only (unit code 0).
enum class TimeUnit : std::int16_t { kMilliseconds = 0 };
// Sleeps the amount, rounded half to even to whole units. Blocks without
// dispatching window messages.
void SleepTime(platform::Platform& os, TimeUnit unit, double amount);
// Waits at least the given time, checking once a second and letting window
// events run between checks. Always true.
bool WaitTimer(platform::Platform& os, std::int32_t milliseconds);
// The same, telling `onCheck` the time passed so far (at most `milliseconds`)
// at every check, the last one included.
bool WaitTimer(platform::Platform& os, std::int32_t milliseconds,
               const std::function<void(std::uint32_t elapsed)>& onCheck);

std::string DQuote(const std::string& text);
std::string SQuote(const std::string& text);

}  // namespace th

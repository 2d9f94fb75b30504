#include <unistd.h>

#include <cstdio>

#include "platform/console.h"

namespace th::platform {

void PrepareConsole() {}
bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }
bool OwnsConsole() { return false; }  // a terminal outlives the program
void WaitForKey() { std::getchar(); }

}  // namespace th::platform

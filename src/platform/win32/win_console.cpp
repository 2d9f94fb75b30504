#include <windows.h>

#include <conio.h>
#include <io.h>

#include <cstdio>

#include "platform/console.h"

namespace th::platform {

void PrepareConsole() { SetConsoleOutputCP(CP_UTF8); }
bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

bool OwnsConsole() {
  DWORD ids[2];
  return GetConsoleProcessList(ids, 2) == 1;
}

void WaitForKey() { _getch(); }

}  // namespace th::platform

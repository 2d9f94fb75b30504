// The program's entry: builds the Windows platform and runs one run.
#include <windows.h>
#include <objbase.h>

#include "platform/win32/win_clock.h"
#include "platform/win32/win_codepage.h"
#include "platform/win32/win_filesystem.h"
#include "platform/win32/win_processes.h"
#include "platform/win32/win_registry.h"
#include "platform/win32/win_ui.h"
#include "platform/win32/win_wmi.h"
#include "run/main_run.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  th::win32::WinFileSystem fs;
  th::win32::WinCodePage codePage;
  th::win32::WinClock clock;
  th::win32::WinSystemInfo system;
  th::win32::WinProcesses processes;
  th::win32::WinRegistry registry(codePage);
  th::win32::WinWmi wmi;
  th::win32::WinUi ui;
  th::platform::Platform os{fs, codePage, clock, system, processes, registry, wmi, ui};
  th::Main(os);
  // Ending the program ends the process at once: no window's closing handler runs.
  ExitProcess(0);
}

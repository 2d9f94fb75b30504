// The program's entry: builds the Windows platform and runs one run.
#include <windows.h>
#include <objbase.h>

#include "platform/win32/win_platform.h"
#include "platform/win32/win_ui.h"
#include "run/main_run.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  th::win32::WinServices services;
  th::win32::WinUi ui;
  th::platform::Platform os = services.with(ui);
  th::Main(os);
  // Ending the program ends the process at once: no window's closing handler runs.
  ExitProcess(0);
}

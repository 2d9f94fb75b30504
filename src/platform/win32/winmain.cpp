// The program's entry: builds the Windows platform and runs one run.
#include <windows.h>
#include <objbase.h>

#include <new>
#include <stdexcept>

#include "platform/win32/dll_search.h"
#include "platform/win32/win_platform.h"
#include "platform/win32/win_ui.h"
#include "run/main_run.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // First of all: DLLs loaded from here on (by the program or by Windows on
  // its behalf) come from the system folder only, never from the program's
  // folder on the share, where anyone could put a DLL of a wanted name.
  th::win32::RestrictDllSearchToSystemFolder();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  th::win32::WinServices services;
  th::win32::WinUi ui;
  th::platform::Platform os = services.with(ui);
  th::RunSequence run(os);
  // Last resort: a programming error (no procedure expects one: a bad index
  // or argument, a standard call's error, memory exhausted) still ends the
  // run on its error path, logged under its own description.
  try {
    run.Main();
  } catch (const std::logic_error& e) {
    run.EndOnErrorPath(e.what());
  } catch (const std::runtime_error& e) {
    run.EndOnErrorPath(e.what());
  } catch (const std::bad_alloc& e) {
    run.EndOnErrorPath(e.what());
  }
  // Ending the program ends the process at once: no window's closing handler runs.
  ExitProcess(0);
}

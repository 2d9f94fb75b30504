#pragma once
// The Windows implementation of every seam but the user interface, which the
// program supplies as its real windows and a test as a quiet stand-in.
#include "platform/platform.h"
#include "platform/win32/win_clock.h"
#include "platform/win32/win_codepage.h"
#include "platform/win32/win_filesystem.h"
#include "platform/win32/win_machine.h"
#include "platform/win32/win_processes.h"
#include "platform/win32/win_registry.h"
#include "platform/win32/win_system_info.h"
#include "platform/win32/win_wmi.h"

namespace th::win32 {

struct WinServices {
  WinFileSystem fs;
  WinCodePage codePage;
  WinClock clock;
  WinSystemInfo system;
  WinProcesses processes;
  WinRegistry registry{codePage};
  WinWmi wmi;
  WinMachine machine;

  platform::Platform with(platform::Ui& ui) { return {fs, codePage, clock, system, processes, registry, wmi, ui, machine}; }
};

}  // namespace th::win32

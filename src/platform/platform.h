#pragma once
// Everything the core needs from the operating system, one seam each.
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/filesystem.h"
#include "platform/machine.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/ui.h"
#include "platform/wmi.h"

namespace th::platform {

struct Platform {
  FileSystem& fs;
  CodePage& codePage;
  Clock& clock;
  SystemInfo& system;
  Processes& processes;
  Registry& registry;
  Wmi& wmi;
  Ui& ui;
  Machine& machine;
};

}  // namespace th::platform

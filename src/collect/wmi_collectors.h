#pragma once
// The WMI hardware and operating-system collectors.
#include <string>

#include "support/run_context.h"

namespace th {

bool GetCPU(RunContext& ctx);
void GetBIOS(RunContext& ctx);
void GetPC(RunContext& ctx);
void GetWindows(RunContext& ctx, std::string& systemDrive);
void GetDisk(RunContext& ctx, const std::string& systemDrive);
void GetPCCase(RunContext& ctx);
void GetMB(RunContext& ctx);
void GetUUID(RunContext& ctx);
void GetDisplay(RunContext& ctx);
void GetKeyboard(RunContext& ctx);
void GetPrinter(RunContext& ctx);

}  // namespace th

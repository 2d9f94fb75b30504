#pragma once
// Processor name and OS version text read from the registry.
#include "support/run_context.h"

namespace th {

bool GetCPUName(RunContext& ctx);
void GetOSVersion(RunContext& ctx);

}  // namespace th

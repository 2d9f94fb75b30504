#pragma once
// The facts a move to Windows 11 depends on, read as the user runs the
// program (no elevation): one "Platform" record each, on every PC. A fact
// that cannot be read has no contents and its reason as the unit
// ("unsupported", "denied", "error 0x..."), so the record always tells.
#include "support/run_context.h"

namespace th {

void GetPlatform(RunContext& ctx);

}  // namespace th

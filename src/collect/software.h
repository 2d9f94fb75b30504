#pragma once
// Installed applications, from the registry dump.
#include <string>

#include "run/run_context.h"

namespace th {

void SoftCheck(RunContext& ctx, const std::string& dumpPath);
std::string RegLineData(const std::string& line);

}  // namespace th

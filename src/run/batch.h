#pragma once
// The registry-scan batch files and their start.
#include <string>

#include "run/run_context.h"

namespace th {

// Writes TrustLevel.CMD, Runas.CMD and RegScan.CMD into SAVE beside the
// program, runs TrustLevel.CMD and deletes it. relativeRegScan is ignored.
void BatMakeRun(RunContext& ctx, const std::string& runasPath, const std::string& regScanPath,
                const std::string& dumpPath, const std::string& relativeRegScan, const std::string& relativeDump);

}  // namespace th

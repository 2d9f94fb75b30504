#pragma once
// The computer name's fallback sources.
#include <string>
#include <vector>

#include "support/run_context.h"

namespace th {

void GetPCName(RunContext& ctx);
std::string QueryComputerName(RunContext& ctx, int format);
// Non-empty lines of a text file (lines beginning with skipPrefix dropped
// when it is not empty); the count, or -1 when there is none.
int ReadTextLines(RunContext& ctx, const std::string& path, std::vector<std::string>& lines,
                  const std::string& skipPrefix);

}  // namespace th

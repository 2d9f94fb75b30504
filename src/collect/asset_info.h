#pragma once
// The entered asset information and the destination file's name.
#include "support/run_context.h"

namespace th {

void SaveInputData(RunContext& ctx);

}  // namespace th

#pragma once
// The machine's facts, collector by collector, in the run's fixed order.
#include "support/run_context.h"

namespace th {

// GetCPU to GetPrinter; each collector handles its own failures.
void CollectMachineFacts(RunContext& ctx);

}  // namespace th

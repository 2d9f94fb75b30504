#include "collect/registry_facts.h"

namespace th {

// Not built yet.
bool GetCPUName(RunContext&) { return false; }
void GetOSVersion(RunContext&) {}

}  // namespace th

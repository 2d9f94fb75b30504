#include "collect/asset_info.h"

namespace th {

// Not built yet.
void SaveInputData(RunContext&) {}

}  // namespace th

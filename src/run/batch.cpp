#include "run/batch.h"

namespace th {

// Not built yet: writes no batch file, so the run falls back to its own scan.
void BatMakeRun(RunContext&, const std::string&, const std::string&, const std::string&, const std::string&,
                const std::string&) {}

}  // namespace th

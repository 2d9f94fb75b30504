#include "collect/key_block.h"

namespace th {

// Not built yet: no record file is created.
bool GetKey(RunContext&) { return true; }
std::string GetOutputFolder(RunContext&) { return ""; }
bool MakeFolderPath(RunContext&, const std::string&) { return false; }
std::string MakeTempFile(RunContext&, const std::string&) { return ""; }
double NumOrDefault(RunContext&, const platform::PropertyValue&, double fallback) { return fallback; }

}  // namespace th

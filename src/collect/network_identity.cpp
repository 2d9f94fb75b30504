#include "collect/network_identity.h"

namespace th {

// Not built yet.
void GetPCName(RunContext&) {}
std::string QueryComputerName(RunContext&, int) { return ""; }
int ReadTextLines(RunContext&, const std::string&, std::vector<std::string>& lines, const std::string&) {
  lines.clear();
  return -1;
}

}  // namespace th

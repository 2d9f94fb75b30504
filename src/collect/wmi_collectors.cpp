#include "collect/wmi_collectors.h"

namespace th {

// Not built yet: these collect nothing.
bool GetCPU(RunContext&) { return false; }
void GetBIOS(RunContext&) {}
void GetPC(RunContext&) {}
void GetWindows(RunContext&, std::string&) {}
void GetDisk(RunContext&, const std::string&) {}
void GetPCCase(RunContext&) {}
void GetMB(RunContext&) {}
void GetUUID(RunContext&) {}
void GetDisplay(RunContext&) {}
void GetKeyboard(RunContext&) {}
void GetPrinter(RunContext&) {}

}  // namespace th

#pragma once
// Registry dumps as RegScan.CMD writes them (reg query /s of the three
// uninstall roots, code page 932, CR LF), generated at any size.
#include <string>

#include "platform/codepage.h"

namespace th::bench {

// Writes a dump of `entries` uninstall entries to a host file. Most are
// applications (some with Japanese names); every tenth is an update under a
// parent, and one in twenty-five has no display name.
void WriteDump(platform::CodePage& codePage, const std::string& hostPath, int entries);

}  // namespace th::bench

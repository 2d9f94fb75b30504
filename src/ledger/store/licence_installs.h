#pragma once
// Which current PCs have each catalogue product, one row per application (or
// OS) that matched it: what a licence count is counted from, so that a
// shortage leads to machines. licence_installs.csv, the workbook's licence
// detail sheet and the report's product lists read it.
#include <string>

namespace th::ledger {

// Selects product, number, computer name, user (姓 名), the application's
// name and version, in the catalogue's order, then by number, name, version.
std::string LicenceInstallsSql();

}  // namespace th::ledger

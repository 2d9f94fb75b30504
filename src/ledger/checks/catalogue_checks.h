#pragma once
// The findings about software and hardware over time: licences short,
// forbidden or missing required software, end of support, changed hardware.
#include <string>

#include "ledger/store/sqlite.h"

namespace th::ledger {

// Appends this group's findings; `today` is 'YYYY-MM-DD', local.
void AddCatalogueFindings(Database& db, const std::string& today);

}  // namespace th::ledger

#pragma once
// The register's further columns (department...), as the last register
// given with --register named them.
#include <string>
#include <vector>

#include "ledger/store/sqlite.h"

namespace th::ledger {

// The further column names in the register's order; none without a register.
std::vector<std::string> RegisterColumns(Database& db);

// A register row's further values (register.extra, a JSON array), one per
// column of `columns` names; '' where the row has none.
std::vector<std::string> RegisterValues(const std::string& extra, std::size_t columns);

}  // namespace th::ledger

#pragma once
// The catalogue in the database: kept when given, and the application names
// and OS captions of the collections matched against it.
#include <cstdint>

#include "ledger/catalogue_file.h"
#include "ledger/sqlite.h"

namespace th::ledger {

// Replaces the catalogue held before and forgets every earlier match.
void StoreCatalogue(Database& db, const Catalogue& catalogue);

// Matches the application names (as folded at import) and OS captions of the
// collections newer than `sinceCollection` (0: all) that were not matched
// before.
void MatchCatalogue(Database& db, std::int64_t sinceCollection);

}  // namespace th::ledger

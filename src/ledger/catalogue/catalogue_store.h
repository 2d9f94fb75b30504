#pragma once
// The catalogue in the database: kept when given, and the application names
// and OS captions of the collections matched against it.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "ledger/catalogue/catalogue_file.h"
#include "ledger/store/sqlite.h"

namespace th::ledger {

// Replaces the catalogue held before and forgets every earlier match.
void StoreCatalogue(Database& db, const Catalogue& catalogue);

// Matches the application names (as folded at import) and OS captions not
// matched before: `newNames`, the names of the collections this import took,
// the names of the stored collections in (sinceCollection, lastStored] (none
// when the two are equal) and the captions of those newer than sinceCollection.
void MatchCatalogue(Database& db, std::int64_t sinceCollection, std::int64_t lastStored,
                    const std::unordered_set<std::string>& newNames);

}  // namespace th::ledger

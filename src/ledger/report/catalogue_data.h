#pragma once
// The catalogue's part of the report's data: each product with its licences
// and PCs counted, and which application names and OS captions it covers (the
// page finds a product's PCs from their records with them).
#include <sqlite3.h>

#include "ledger/report/json_writer.h"

namespace th::ledger {

// Writes the keys "licences", "appProducts" and "osProducts".
void WriteCatalogueData(sqlite3* db, JsonWriter& w);

}  // namespace th::ledger

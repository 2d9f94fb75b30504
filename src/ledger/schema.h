#pragma once
// The database's tables and views (schema.sql), applied on every open.
#include "ledger/sqlite.h"

namespace th::ledger {

// Creates what is missing, sets the connection's pragmas and refreshes the
// finding kinds' titles.
void ApplySchema(Database& db);

}  // namespace th::ledger

#pragma once
// The database's tables and views: the migrations of schema/, each applied
// once, counted by PRAGMA user_version.
#include "ledger/store/sqlite.h"

namespace th::ledger {

// The version a database has once every migration is applied.
int SchemaVersion();

// Brings the database to SchemaVersion() (a new file from nothing, one made
// before versions from 1), registers the SQL functions, sets the
// connection's pragmas and refreshes the finding kinds' titles.
void ApplySchema(Database& db);

}  // namespace th::ledger

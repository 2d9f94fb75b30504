#pragma once
// The ledger's own SQL functions, registered on every connection the program
// opens: fold_name(text), fold_key(text) (text_fold.h),
// is_management_number(text), name_matches_key(name, key).
#include "ledger/store/sqlite.h"

namespace th::ledger {

// Throws DbError when SQLite refuses one.
void RegisterSqlFunctions(Database& db);

}  // namespace th::ledger

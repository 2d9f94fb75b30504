#pragma once
// The Windows 11 plan's part of the report's data: each current PC's verdict
// with the facts behind it, and the plan's totals by verdict, department and
// model beside what ESU would cost.
#include <sqlite3.h>

#include <string>
#include <vector>

#include "ledger/report/json_writer.h"

namespace th::ledger {

// Writes the key "win11": the verdicts in their order; "profiles", the
// distinct rows of facts and verdict (a fleet has few); "pcs", each PC's
// profile by the rows of `numbers` (the page's PCs; -1: an older number of a
// PC, which has no verdict of its own); "totals" and "prices".
void WriteWin11Data(sqlite3* db, const std::vector<std::string>& numbers, JsonWriter& w);

}  // namespace th::ledger

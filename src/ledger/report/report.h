#pragma once
// The ledger's report: one self-contained HTML page (styles, script and the
// data embedded) that an administrator opens in a browser.
#include <sqlite3.h>

#include <filesystem>

#include "ledger/report/report_data.h"

namespace th::ledger {

// Writes the report of the database to `file`, replacing it only once the
// new page is complete. Throws DbError or std::runtime_error.
void WriteReport(sqlite3* db, const std::filesystem::path& file, const ReportOptions& options = {});

}  // namespace th::ledger

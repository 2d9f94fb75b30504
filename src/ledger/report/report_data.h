#pragma once
// The report's data, read from the ledger database and written as a few
// JSON objects, each compressed and as text on a line of its own ("main:",
// "records:", "software:"), which the page's script inflates and renders.
#include <sqlite3.h>

#include <ostream>
#include <string>

namespace th::ledger {

struct ReportOptions {
  // Local time 'YYYY-MM-DD HH:MM:SS' the ages of collections count from;
  // empty: now.
  std::string now;
};

void WriteReportData(sqlite3* db, const ReportOptions& options, std::ostream& out);

}  // namespace th::ledger

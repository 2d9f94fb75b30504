#pragma once
// The report's data, read from the ledger database and written as a few
// JSON objects, each compressed and as text on a line of its own ("main:",
// "records:", "software:"), which the page's script inflates and renders.
#include <sqlite3.h>

#include <ostream>
#include <string>

#include "ledger/store/distinct_records.h"

namespace th::ledger {

struct ReportOptions {
  // Local time 'YYYY-MM-DD HH:MM:SS' the ages of collections count from;
  // empty: now.
  std::string now;
  // The records of the collections this run's import took, as it read them:
  // the report reads back only the others, and empties it as it goes.
  TakenRecords* taken = nullptr;
};

void WriteReportData(sqlite3* db, const ReportOptions& options, std::ostream& out);

}  // namespace th::ledger

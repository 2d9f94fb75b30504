#pragma once
// The report as the last step of a ledger run.
#include <optional>
#include <ostream>
#include <string>

#include "ledger/store/distinct_records.h"

namespace th::ledger {

// report.html beside the database, unless a file is given (UTF-8 paths).
std::string ReportPath(const std::string& db, const std::optional<std::string>& report);

// Writes the report of the database at `db` to `report` and says where;
// false, with the reason on `err`, when it could not.
// `taken`: what this run's import took, handed over (see ReportOptions).
bool WriteReportFile(const std::string& db, const std::string& report, std::ostream& out, std::ostream& err,
                     TakenRecords* taken = nullptr);

}  // namespace th::ledger

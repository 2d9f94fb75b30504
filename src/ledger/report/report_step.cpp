#include "ledger/report/report_step.h"

#include <stdexcept>

#include "ledger/records/input_files.h"
#include "ledger/report/report.h"
#include "ledger/store/sqlite.h"

namespace th::ledger {

std::string ReportPath(const std::string& db, const std::optional<std::string>& report) {
  if (report) return *report;
  return Utf8FromPath(PathFromUtf8(db).parent_path() / "report.html");
}

bool WriteReportFile(const std::string& db, const std::string& report, std::ostream& out, std::ostream& err,
                     TakenRecords* taken) {
  try {
    Database database(db);
    ReportOptions options;
    options.taken = taken;
    WriteReport(database.get(), PathFromUtf8(report), options);
    out << "レポート / report: " << report << "\n";
    return true;
  } catch (const std::runtime_error& e) {  // DbError, the page unwritable, the rename refused
    err << "tallyhawk-ledger: レポートを書けません（取り込みは完了しています） / cannot write the report"
           " (the import is done): "
        << e.what() << "\n";
    return false;
  }
}

}  // namespace th::ledger

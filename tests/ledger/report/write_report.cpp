// write_report DB REPORT [NOW]: writes the report of an existing ledger
// database; the browser test and the bench build their databases themselves.
#include <iostream>
#include <stdexcept>

#include "ledger/report/report.h"
#include "ledger/store/sqlite.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: write_report DB REPORT [NOW]\n";
    return 2;
  }
  try {
    th::ledger::Database db(argv[1]);
    th::ledger::WriteReport(db.get(), argv[2], {argc > 3 ? argv[3] : ""});
  } catch (const std::runtime_error& e) {  // DbError, a report that cannot be written
    std::cerr << "write_report: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

// Writes a ledger's workbook with a given number of rows per sheet, so that
// the continuation sheets can be tested without a million rows.
//   write_workbook DB OUT.xlsx ROWS
#include <cstdlib>
#include <iostream>

#include "ledger/exports/xlsx_export.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: write_workbook DB OUT.xlsx ROWS\n";
    return 2;
  }
  th::ledger::Database db(argv[1]);
  const auto result = th::ledger::WriteWorkbook(db, argv[2], static_cast<std::uint32_t>(std::atoi(argv[3])));
  for (const std::string& sheet : result.continuations) std::cout << sheet << "\n";
  return 0;
}

#pragma once
// inventory.xlsx: a 集計 sheet (xlsx_summary.h), then the export tables
// (export_tables.h) as the sheets of one workbook, text kept as text, with a
// bold frozen heading row, filters, fitted column widths and a print set-up
// that stays legible on A4.
#include <cstdint>
#include <string>
#include <vector>

#include "ledger/store/sqlite.h"
#include "ledger/exports/xlsx_workbook.h"

namespace th::ledger {

struct WorkbookResult {
  // Sheets that continue a table whose rows did not fit one sheet: "導入状況 (2)"...
  std::vector<std::string> continuations;
  // Values longer than a printed cell shows, shortened (their CSV files hold them whole).
  std::size_t shortened = 0;
};

// Writes the workbook to `utf8Path`; throws std::runtime_error when it
// cannot. `sheetRows` is the rows a sheet holds, its heading row included.
WorkbookResult WriteWorkbook(Database& db, const std::string& utf8Path, std::uint32_t sheetRows = kSheetRows);

// The console lines that say what a result holds beyond the plain sheets.
std::vector<std::string> WorkbookNotes(const WorkbookResult& result, std::uint32_t sheetRows = kSheetRows);

}  // namespace th::ledger

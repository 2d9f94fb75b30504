#pragma once
// inventory.xlsx: the export tables (export_tables.h) as the sheets of one
// workbook, text kept as text, with a bold frozen heading row, filters and
// fitted column widths.
#include <cstdint>
#include <string>
#include <vector>

#include "ledger/store/sqlite.h"
#include "ledger/exports/xlsx_workbook.h"

namespace th::ledger {

struct WorkbookResult {
  // Sheets that continue a table whose rows did not fit one sheet: "導入状況 (2)"...
  std::vector<std::string> continuations;
  std::size_t cutCells = 0;  // values longer than a cell holds, cut to kCellChars
};

// Writes the workbook to `utf8Path`; throws std::runtime_error when it
// cannot. `sheetRows` is the rows a sheet holds, its heading row included.
WorkbookResult WriteWorkbook(Database& db, const std::string& utf8Path, std::uint32_t sheetRows = kSheetRows);

// The console lines that say what a result holds beyond the plain sheets.
std::vector<std::string> WorkbookNotes(const WorkbookResult& result, std::uint32_t sheetRows = kSheetRows);

}  // namespace th::ledger

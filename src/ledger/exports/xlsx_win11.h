#pragma once
// The Windows 11 plan's totals as the sheet Windows11集計: PCs and costs by
// verdict, by the register's department column and by model, beside what
// ESU would cost for the PCs it covers over one, two and three years.
#include "ledger/exports/xlsx_workbook.h"
#include "ledger/store/sqlite.h"

namespace th::ledger {

void WriteWin11SummarySheet(Database& db, XlsxWorkbook& book);

}  // namespace th::ledger

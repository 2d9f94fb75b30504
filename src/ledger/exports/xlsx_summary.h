#pragma once
// The workbook's first sheet, 集計: what an auditor asks first. PCs (one PC
// under two numbers once), by OS and by the register's department, the
// register's numbers not reported, and the licence balance.
#include "ledger/exports/xlsx_workbook.h"
#include "ledger/store/sqlite.h"

namespace th::ledger {

void WriteSummarySheet(Database& db, XlsxWorkbook& book);

}  // namespace th::ledger

#pragma once
// Values the workbook cannot hold whole: longer than a spreadsheet cell's
// 32,767 characters. The workbook cuts them (the CSV files keep them whole);
// each is a finding so that the cut is never silent.
#include "ledger/store/sqlite.h"

namespace th::ledger {

// Adds a 'cell_too_long' finding per such value of the current collections,
// the register and the findings already computed (so it runs last).
void AddCellLimitFindings(Database& db);

}  // namespace th::ledger

#pragma once
// The tables that the exports hold: one definition of each table's headings,
// cell kinds and rows, read by the CSV files and the workbook alike.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledger/store/register_columns.h"
#include "ledger/store/sqlite.h"

namespace th::ledger {

// How a spreadsheet cell holds the column's values. Every value is text in
// the database; a Number or DateTime value that does not have that shape
// (cell_values.h) stays text in the workbook.
enum class CellKind { Text, Number, DateTime };

struct ExportColumn {
  std::string heading;
  CellKind kind = CellKind::Text;
};

using ExportRowSink = std::function<void(const std::vector<std::string>&)>;

struct ExportTable {
  std::string file;   // pcs.csv
  std::string sheet;  // PC一覧; empty: a CSV file only
  std::vector<ExportColumn> columns;
  std::string sql;
  // The query's last column is the register's JSON array of further values,
  // spread over this many columns (the register's further column names).
  std::optional<std::size_t> registerColumns;
  // Rows that no single query gives (a comparison worked out in code);
  // used instead of `sql` when set.
  std::function<void(Database&, const ExportRowSink&)> rows;
  // The query's columns after the register's JSON array (pcs.csv's
  // Win11判定), written after the register's columns.
  int afterRegister = 0;
};

// The tables in the order they are written: PCs, software, installs,
// findings, licences and the PCs that have each product (sheets when a
// catalogue is known), changes, the Windows 11 plan (win11.csv).
std::vector<ExportTable> ExportTables(Database& db);

// Calls `row` with every row of the table, all values as text, one per column.
void ForEachExportRow(Database& db, const ExportTable& table, const ExportRowSink& row);

}  // namespace th::ledger

#include "ledger/exports/xlsx_summary.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ledger/exports/export_tables.h"
#include "ledger/exports/xlsx_grid.h"
#include "ledger/store/register_columns.h"
#include "ledger/store/same_pc_sql.h"
#include "ledger/store/win11_plan.h"

namespace th::ledger {

namespace {

// The current numbers that are PCs: one PC under two numbers counts once.
#define SUMMARY_PCS "SELECT s.* FROM pc_summary s WHERE s.number IN (" LEDGER_PC_NUMBERS ")"

double CountOf(Database& db, const std::string& sql) {
  Statement s = db.prepare(sql);
  return s.step() ? static_cast<double>(s.integer(0)) : 0;
}

std::vector<std::vector<GridCell>> Overview(Database& db) {
  const bool registered = CountOf(db, "SELECT COUNT(*) FROM register") > 0;
  std::vector<std::vector<GridCell>> rows = {
      {{"PC（同じPCの別の管理番号は1台）"}, Count(CountOf(db, "SELECT COUNT(*) FROM (" SUMMARY_PCS ")"))},
      {{"記録ファイルのある管理番号"}, Count(CountOf(db, "SELECT COUNT(*) FROM pcs"))}};
  if (registered) {
    rows.push_back({{"台帳の管理番号"}, Count(CountOf(db, "SELECT COUNT(*) FROM register"))});
    rows.push_back({{"未報告（台帳にあり、記録ファイルがない）"},
                    Count(CountOf(db, "SELECT COUNT(*) FROM register WHERE number NOT IN (SELECT lower(number) FROM pcs)"))});
    rows.push_back({{"台帳にないPC"},
                    Count(CountOf(db, "SELECT COUNT(*) FROM (" SUMMARY_PCS ") s"
                                      " WHERE lower(s.number) NOT IN (SELECT number FROM register)"))});
  }
  rows.push_back({{"要対応の検出事項"},
                  Count(CountOf(db, "SELECT COUNT(*) FROM findings WHERE " + NeedsAttentionSql("kind")))});
  return rows;
}

std::vector<std::vector<GridCell>> ByOs(Database& db) {
  std::vector<std::vector<GridCell>> rows;
  Statement s = db.prepare("SELECT COALESCE(NULLIF(os, ''), '（不明）') AS name, COUNT(*) FROM (" SUMMARY_PCS ")"
                           " GROUP BY name ORDER BY COUNT(*) DESC, name");
  while (s.step()) rows.push_back({{s.text(0)}, Count(static_cast<double>(s.integer(1)))});
  return rows;
}

// PCs, register lines and unreported numbers per department, then the totals.
std::vector<std::vector<GridCell>> ByDepartment(Database& db, std::size_t column) {
  const std::string value = "COALESCE(NULLIF(json_extract(r.extra, '$[" + std::to_string(column) + "]'), ''), '（空欄）')";
  Statement s = db.prepare(
      "WITH pc AS (SELECT CASE WHEN r.number IS NULL THEN '（台帳にない）' ELSE " + value + " END AS dept"
      "            FROM (" SUMMARY_PCS ") s LEFT JOIN register r ON r.number = lower(s.number)),"
      "     reg AS (SELECT " + value + " AS dept, r.number NOT IN (SELECT lower(number) FROM pcs) AS unreported"
      "             FROM register r)"
      " SELECT d.dept, (SELECT COUNT(*) FROM pc WHERE pc.dept = d.dept),"
      "        (SELECT COUNT(*) FROM reg WHERE reg.dept = d.dept),"
      "        (SELECT COUNT(*) FROM reg WHERE reg.dept = d.dept AND unreported)"
      " FROM (SELECT dept FROM pc UNION SELECT dept FROM reg) d ORDER BY d.dept = '（台帳にない）', d.dept");
  std::vector<std::vector<GridCell>> rows;
  double totals[3] = {0, 0, 0};
  while (s.step()) {
    std::vector<GridCell> row = {{s.text(0)}};
    for (int c = 0; c < 3; ++c) {
      const auto n = static_cast<double>(s.integer(c + 1));
      totals[c] += n;
      row.push_back(Count(n));
    }
    rows.push_back(row);
  }
  rows.push_back({{"合計", std::nullopt, CellStyle::Heading}, Count(totals[0]), Count(totals[1]), Count(totals[2])});
  return rows;
}

std::vector<std::vector<GridCell>> Licences(Database& db) {
  std::vector<std::vector<GridCell>> rows;
  Statement s = db.prepare(
      "SELECT product, kind_title, owned, installed, balance FROM licences WHERE owned IS NOT NULL ORDER BY line");
  while (s.step()) {
    rows.push_back({{s.text(0)}, {s.text(1)}, Count(static_cast<double>(s.integer(2))),
                    Count(static_cast<double>(s.integer(3))), Count(static_cast<double>(s.integer(4)))});
  }
  return rows;
}

}  // namespace

void WriteSummarySheet(Database& db, XlsxWorkbook& book) {
  XlsxSheet sheet = book.addSheet("集計");
  SheetGrid grid;
  SheetGrid::Lane left{0}, right{3};
  grid.table(left, "概要", {"項目", "台数"}, Overview(db));
  grid.table(left, "OS別（PC）", {"OS", "台数"}, ByOs(db));
  const std::vector<std::string> columns = RegisterColumns(db);
  const std::string department = Win11DepartmentColumn(columns);
  if (const auto at = std::find(columns.begin(), columns.end(), department); at != columns.end()) {
    grid.table(right, department + "別", {department, "PC", "台帳", "未報告"},
               ByDepartment(db, static_cast<std::size_t>(at - columns.begin())));
  }
  if (const auto licences = Licences(db); !licences.empty()) {
    grid.table(right, "ライセンスの過不足", {"製品名", "種別", "保有", "導入台数", "過不足"}, licences);
  }
  grid.write(sheet);
}

}  // namespace th::ledger

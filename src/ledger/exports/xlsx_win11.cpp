#include "ledger/exports/xlsx_win11.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ledger/exports/xlsx_grid.h"
#include "ledger/store/win11_plan.h"

namespace th::ledger {

namespace {

// A group's cost: the sum of the costs known, and how many PCs have none.
std::vector<GridCell> Cost(const Win11Group& g) { return {Yen(static_cast<double>(g.costYen)), Count(g.unpriced)}; }

std::vector<GridCell> GroupRow(GridCell name, const Win11Group& g) {
  std::vector<GridCell> row = {std::move(name), Count(g.pcs)};
  for (int n : g.byVerdict) row.push_back(Count(n));
  for (GridCell& c : Cost(g)) row.push_back(std::move(c));
  return row;
}

// One row per group (its PCs, each verdict's PCs, its cost), then the total.
std::vector<std::vector<GridCell>> Groups(const std::vector<Win11Group>& groups, const Win11Group& all,
                                          const char* unnamed) {
  std::vector<std::vector<GridCell>> rows;
  for (const Win11Group& g : groups) rows.push_back(GroupRow({g.key.empty() ? unnamed : g.key}, g));
  rows.push_back(GroupRow({"合計", std::nullopt, CellStyle::Heading}, all));
  return rows;
}

std::vector<std::string> GroupHeadings(const std::string& key) {
  std::vector<std::string> headings = {key, "台数"};
  for (const char* v : kWin11Verdicts) headings.emplace_back(v);
  headings.emplace_back("概算費用");
  headings.emplace_back("単価未設定");
  return headings;
}

}  // namespace

void WriteWin11SummarySheet(Database& db, XlsxWorkbook& book) {
  const Win11Totals totals = ReadWin11Totals(db);
  XlsxSheet sheet = book.addSheet("Windows11集計");
  SheetGrid grid;
  SheetGrid::Lane left{0}, right{6};

  std::vector<std::vector<GridCell>> verdicts;
  for (const Win11Group& g : totals.byVerdict) {
    std::vector<GridCell> row = {{g.key}, Count(g.pcs)};
    for (GridCell& c : Cost(g)) row.push_back(std::move(c));
    verdicts.push_back(std::move(row));
  }
  verdicts.push_back({{"合計", std::nullopt, CellStyle::Heading}, Count(totals.all.pcs), Cost(totals.all)[0],
                      Cost(totals.all)[1]});
  grid.table(left, "判定別", {"判定", "台数", "概算費用", "単価未設定"}, verdicts);

  // What staying on Windows 10 would cost instead, for the PCs ESU covers.
  std::vector<std::vector<GridCell>> esu;
  for (std::size_t year = 0; year < totals.esuYen.size(); ++year) {
    const auto& yen = totals.esuYen[year];
    esu.push_back({{"ESU " + std::to_string(year + 1) + " 年"}, Count(totals.all.esuPcs),
                   Yen(yen ? std::optional<double>(static_cast<double>(*yen)) : std::nullopt)});
  }
  esu.push_back({{"移行（概算費用の合計）"}, Count(totals.all.pcs - totals.all.unpriced),
                 Yen(static_cast<double>(totals.all.costYen))});
  grid.table(right, "ESU との比較（累計）", {"", "台数", "費用"}, esu);

  left.row = std::max(left.row, right.row);
  if (!totals.departmentColumn.empty()) {
    grid.table(left, totals.departmentColumn + "別", GroupHeadings(totals.departmentColumn),
               Groups(totals.byDepartment, totals.all, "（台帳にない・空欄）"));
  }
  grid.table(left, "モデル別", GroupHeadings("モデル"), Groups(totals.byModel, totals.all, "（不明）"));
  grid.write(sheet);
}

}  // namespace th::ledger

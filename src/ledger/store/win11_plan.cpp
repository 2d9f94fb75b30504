#include "ledger/store/win11_plan.h"

#include <algorithm>
#include <map>

#include "ledger/store/register_columns.h"
#include "ledger/text/ascii_lower.h"

namespace th::ledger {

namespace {

std::optional<double> Real(const Statement& s, int col) {
  if (s.isNull(col)) return std::nullopt;
  return sqlite3_column_double(s.get(), col);
}

void Count(Win11Group& g, const Win11PlanRow& row) {
  ++g.pcs;
  const int v = Win11VerdictIndex(row.verdict);
  if (v >= 0) ++g.byVerdict[static_cast<std::size_t>(v)];
  if (row.costYen) g.costYen += *row.costYen;
  else ++g.unpriced;
  if (row.esu) ++g.esuPcs;
}

// Most PCs first, then by name.
std::vector<Win11Group> Ranked(std::map<std::string, Win11Group>& groups) {
  std::vector<Win11Group> out;
  for (auto& [key, g] : groups) {
    g.key = key;
    out.push_back(std::move(g));
  }
  std::stable_sort(out.begin(), out.end(), [](const Win11Group& a, const Win11Group& b) { return a.pcs > b.pcs; });
  return out;
}

}  // namespace

int Win11VerdictIndex(std::string_view verdict) {
  for (std::size_t i = 0; i < kWin11Verdicts.size(); ++i) {
    if (verdict == kWin11Verdicts[i]) return static_cast<int>(i);
  }
  return -1;
}

std::vector<Win11PlanRow> ReadWin11Plan(Database& db) {
  const std::size_t columns = RegisterColumns(db).size();
  Statement s = db.prepare(
      "SELECT w.number, s.computer_name, trim(coalesce(s.surname, '') || ' ' || coalesce(s.given_name, '')),"
      " r.extra, w.os, w.os_version, w.cpu, w.memory_gb, w.memory_estimated, w.system_drive_gb, w.tpm, w.firmware,"
      " w.secure_boot, w.verdict, w.reasons, w.action, w.basis, w.cost_yen, w.cost_note, s.collected_at, w.form,"
      " w.chassis, w.model, w.maker, w.esu"
      " FROM win11_plan w JOIN pc_summary s ON s.number = w.number"
      " LEFT JOIN register r ON r.number = lower(w.number) ORDER BY w.number");
  std::vector<Win11PlanRow> rows;
  while (s.step()) {
    Win11PlanRow r;
    r.number = s.text(0);
    r.computerName = s.text(1);
    r.user = s.text(2);
    r.registerValues = RegisterValues(s.text(3), columns);
    r.os = s.text(4);
    r.osVersion = s.text(5);
    r.cpu = s.text(6);
    r.memoryGb = Real(s, 7);
    r.memoryEstimated = s.integer(8) != 0;
    r.systemDriveGb = Real(s, 9);
    r.tpm = s.text(10);
    r.firmware = s.text(11);
    r.secureBoot = s.text(12);
    r.verdict = s.text(13);
    r.reasons = s.text(14);
    r.action = s.text(15);
    r.basis = s.text(16);
    if (!s.isNull(17)) r.costYen = s.integer(17);
    r.costNote = s.text(18);
    r.collectedAt = s.text(19);
    r.form = s.text(20);
    r.chassis = s.text(21);
    r.model = s.text(22);
    r.maker = s.text(23);
    r.esu = s.integer(24) != 0;
    rows.push_back(std::move(r));
  }
  return rows;
}

std::string Win11DepartmentColumn(const std::vector<std::string>& registerColumns) {
  for (const std::string& c : registerColumns) {
    for (const char* word : {"部署", "部門", "所属", "課", "department"}) {
      if (AsciiLower(c).find(word) != std::string::npos) return c;
    }
  }
  return registerColumns.empty() ? std::string() : registerColumns.front();
}

Win11Totals ReadWin11Totals(Database& db, const std::optional<std::string>& departmentColumn) {
  const std::vector<std::string> columns = RegisterColumns(db);
  Win11Totals t;
  t.departmentColumn = Win11DepartmentColumn(columns);
  if (departmentColumn && std::find(columns.begin(), columns.end(), *departmentColumn) != columns.end()) {
    t.departmentColumn = *departmentColumn;
  }
  const auto at = std::find(columns.begin(), columns.end(), t.departmentColumn);
  const std::size_t department = static_cast<std::size_t>(at - columns.begin());

  for (const char* v : kWin11Verdicts) t.byVerdict.push_back({v});
  std::map<std::string, Win11Group> departments, models;
  for (const Win11PlanRow& row : ReadWin11Plan(db)) {
    Count(t.all, row);
    const int v = Win11VerdictIndex(row.verdict);
    if (v >= 0) Count(t.byVerdict[static_cast<std::size_t>(v)], row);
    if (department < row.registerValues.size()) Count(departments[row.registerValues[department]], row);
    std::string model = row.maker;
    if (!row.model.empty()) model += (model.empty() ? "" : " ") + row.model;
    Count(models[model], row);
  }
  t.byDepartment = Ranked(departments);
  t.byModel = Ranked(models);

  Statement esu = db.prepare("SELECT yen FROM win11_prices WHERE category = ?");
  esu.bind(1, kPriceEsu);
  if (esu.step()) {
    const long long year1 = esu.integer(0) * t.all.esuPcs;
    t.esuYen = {year1, year1 * 3, year1 * 7};
  }
  return t;
}

std::vector<Win11Price> ReadWin11Prices(Database& db) {
  Statement s = db.prepare("SELECT category, yen FROM win11_prices ORDER BY line");
  std::vector<Win11Price> prices;
  while (s.step()) prices.push_back({s.text(0), s.integer(1)});
  return prices;
}

}  // namespace th::ledger

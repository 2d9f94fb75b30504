#include "ledger/win11/plan.h"

#include "ledger/store/same_pc_sql.h"
#include "ledger/store/win11_plan.h"

namespace th::ledger {

namespace {

void BindOptional(Statement& s, int i, const std::optional<double>& v) {
  if (v) sqlite3_bind_double(s.get(), i, *v);
  else s.bindNull(i);
}

}  // namespace

PlanCost CostOf(const Win11Verdict& v, const std::map<std::string, long long>& prices) {
  const auto sum = [&](std::initializer_list<const char*> categories) -> PlanCost {
    long long total = 0;
    std::string missing;
    for (const char* c : categories) {
      if (const auto it = prices.find(c); it != prices.end()) total += it->second;
      else missing += (missing.empty() ? "" : "、") + std::string(c);
    }
    if (!missing.empty()) return {std::nullopt, std::string(kPriceNotSet) + "（" + missing + "）"};
    return {total, ""};
  };
  const int verdict = Win11VerdictIndex(v.verdict);
  switch (verdict) {
    case 1:  // 設定変更で可
    case 4:  // 仮想マシン: the work is done in its host
      return sum({kPriceSettings});
    case 2:  // 部品交換で可
      if (v.needsMemory && v.needsSsd) return sum({kPriceMemory, kPriceSsd});
      return sum({v.needsMemory ? kPriceMemory : kPriceSsd});
    case 3:  // 買い替え
      if (v.form.empty()) return {std::nullopt, "筐体不明（デスクトップかノートか）"};
      return sum({v.form == "notebook" ? kPriceNotebook : kPriceDesktop});
    case 6:  // 不明
      return {std::nullopt, "判定不明"};
    default:  // nothing to do
      return {0, ""};
  }
}

void RecomputeWin11Plan(Database& db, const std::string& today) {
  std::map<std::string, long long> prices;
  for (const Win11Price& p : ReadWin11Prices(db)) prices[p.category] = p.yen;
  db.exec("DELETE FROM win11_plan");
  std::string platformColumns;
  for (const char* c : kPlatformColumns) platformColumns += std::string(", x.") + c;
  Statement pcs = db.prepare(
      "SELECT p.number, c.os, c.os_version, c.cpu, c.memory, c.system_disk_size, c.maker, c.model, c.chassis,"
      " x.collection_id IS NOT NULL" + platformColumns +
      " FROM pcs p JOIN collections c ON c.id = p.collection_id"
      " LEFT JOIN collection_platform x ON x.collection_id = c.id"
      " WHERE p.number IN (" LEDGER_PC_NUMBERS ")");
  Statement add = db.prepare(
      "INSERT INTO win11_plan(number, verdict, reasons, action, basis, cost_yen, cost_note, esu, form, tpm, firmware,"
      " secure_boot, memory_gb, memory_estimated, system_drive_gb, cpu, os, os_version, chassis, model, maker, finding)"
      " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  PcFacts pc;
  while (pcs.step()) {
    pc.os = pcs.text(1);
    pc.osVersion = pcs.text(2);
    pc.cpu = pcs.text(3);
    pc.visibleMemoryKb = pcs.text(4);
    pc.systemDiskMb = pcs.text(5);
    pc.maker = pcs.text(6);
    pc.model = pcs.text(7);
    pc.chassis = pcs.text(8);
    pc.platform.reset();
    if (pcs.integer(9) != 0) {
      pc.platform.emplace();
      for (int f = 0; f < kPlatformFacts; ++f) {
        if (!pcs.isNull(10 + f)) pc.platform->facts[static_cast<std::size_t>(f)] = pcs.text(10 + f);
      }
    }
    const Win11Verdict v = DecideWin11(pc, today);
    const PlanCost cost = CostOf(v, prices);
    const std::string number = pcs.text(0);
    add.bind(1, number).bind(2, v.verdict).bind(3, v.reasons).bind(4, v.action).bind(5, v.basis);
    if (cost.yen) add.bind(6, std::int64_t{*cost.yen});
    else add.bindNull(6);
    add.bind(7, cost.note).bind(8, std::int64_t{v.esu ? 1 : 0}).bind(9, v.form).bind(10, v.tpm);
    add.bind(11, v.firmware).bind(12, v.secureBoot);
    BindOptional(add, 13, v.memoryGb);
    add.bind(14, std::int64_t{v.memoryEstimated ? 1 : 0});
    BindOptional(add, 15, v.systemDriveGb);
    add.bind(16, pc.cpu).bind(17, pc.os).bind(18, v.osVersion).bind(19, pc.chassis).bind(20, pc.model);
    add.bind(21, pc.maker);
    if (v.finding.empty()) add.bindNull(22);
    else add.bind(22, v.finding);
    add.run();
  }
}

}  // namespace th::ledger

#pragma once
// The Windows 11 migration plan: every current PC's verdict and cost, kept
// in win11_plan (store/win11_plan.h reads it).
#include <map>
#include <optional>
#include <string>

#include "ledger/store/sqlite.h"
#include "ledger/win11/verdict.h"

namespace th::ledger {

// Replaces win11_plan with a row per current PC, priced by win11_prices.
// `today`: 'YYYY-MM-DD'.
void RecomputeWin11Plan(Database& db, const std::string& today);

// What a verdict costs a PC of its form at the prices held (category →
// yen): the cost, or nothing with the note why.
struct PlanCost {
  std::optional<long long> yen;
  std::string note;
};
PlanCost CostOf(const Win11Verdict& v, const std::map<std::string, long long>& prices);

}  // namespace th::ledger

#pragma once
// The checks over the whole database, each a named finding kind.
#include <optional>
#include <string>

#include "ledger/store/sqlite.h"

namespace th::ledger {

struct CheckOptions {
  std::optional<int> staleDays;
  std::string today;  // 'YYYY-MM-DD', local
};

// Replaces the findings table with what the database now shows; returns the
// number of findings.
int RecomputeFindings(Database& db, const CheckOptions& options);

}  // namespace th::ledger

#pragma once
// The checks over the whole database, each a named finding kind.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ledger/sqlite.h"

namespace th::ledger {

struct FindingKind {
  const char* kind;
  const char* title;
  const char* titleEn;
};

std::span<const FindingKind> FindingKinds();

struct CheckOptions {
  std::optional<int> staleDays;
  std::string today;  // 'YYYY-MM-DD', local
};

// The file's name is its Key with ".csv", or the Key and a suffix (a copy
// moved aside when another PC reported the same number).
bool NameMatchesKey(std::string_view name, std::string_view key);

// Replaces the findings table with what the database now shows; returns the
// number of findings.
int RecomputeFindings(Database& db, const CheckOptions& options);

}  // namespace th::ledger

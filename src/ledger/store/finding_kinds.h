#pragma once
// The kinds of finding the checks raise, with their titles: kept in the
// database (finding_kinds) for the report and the exports.
#include <span>

namespace th::ledger {

struct FindingKind {
  const char* kind;
  const char* title;
  const char* titleEn;
};

std::span<const FindingKind> FindingKinds();

}  // namespace th::ledger

#pragma once
// The kinds of finding the checks raise, with their titles: kept in the
// database (finding_kinds) for the report and the exports.
#include <span>
#include <string>
#include <vector>

#include "ledger/store/sqlite.h"

namespace th::ledger {

struct FindingKind {
  const char* kind;
  const char* title;
  const char* titleEn;
  // Something a person must mend for the ledger to hold the facts whole: a
  // file or value it could not read, or could not trust. The other kinds are
  // the state of the PCs, which the report is for; they do not raise the
  // exit status, or every run over a real fleet would.
  bool needsAttention = false;
};

std::span<const FindingKind> FindingKinds();

// The kinds among the findings held that need attention, in the order of
// the list above.
std::vector<std::string> KindsNeedingAttention(Database& db);

}  // namespace th::ledger

#pragma once
// One PC's Windows 11 verdict from its facts: the first verdict that
// applies, every failing or unknown requirement, what to do, and what
// decided the processor.
#include <optional>
#include <string>

#include "ledger/records/platform_facts.h"

namespace th::ledger {

// The facts of a PC's current collection.
struct PcFacts {
  std::string os;             // the caption ("Microsoft Windows 10 Pro")
  std::string osVersion;      // the collection's OS version (service pack)
  std::string cpu;            // the processor's name
  std::string visibleMemoryKb;
  std::string systemDiskMb;   // the system volume's size
  std::string maker, model, chassis;
  std::optional<PlatformFacts> platform;  // absent: an older client
};

struct Win11Verdict {
  std::string verdict;  // one of kWin11Verdicts (store/win11_plan.h)
  std::string reasons, action, basis;
  std::string finding;  // set for Windows 11 where no updates are promised
  // The facts shown beside the verdict.
  std::string tpm, firmware, secureBoot, osVersion, form;
  std::optional<double> memoryGb, systemDriveGb;
  bool memoryEstimated = false;
  bool esu = false;  // Windows 10 that ESU would cover
  // What 部品交換で可 needs.
  bool needsMemory = false, needsSsd = false;
};

// `today`: 'YYYY-MM-DD', for the LTSC editions still in support.
Win11Verdict DecideWin11(const PcFacts& pc, const std::string& today);

}  // namespace th::ledger

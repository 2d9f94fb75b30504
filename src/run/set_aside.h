#pragma once
// Keeping another PC's record file when a run delivers under the same
// management number: the earlier file is renamed beside it, never replaced.
#include <string>
#include <vector>

#include "support/run_context.h"

namespace th {

// What a record file says about the machine that wrote it.
struct RecordOrigin {
  std::vector<std::string> identity;  // its computer-name and Device_ID contents, in order
  std::string computerName;           // the first computer name
  std::string renewalday;             // YYYY/MM/DD
};

// Reads the origin of a record file (nothing when it cannot be opened);
// throws Failure when a read fails halfway.
platform::FileValue<RecordOrigin> ReadRecordOrigin(RunContext& ctx, const std::string& recordFile);

// "<folder><number> (前回 <YYYY-MM-DD> <computer name>).csv", the part after
// "前回" cut to a bounded length; from the second try on a number is added
// before ")" ("... PC-ALPHA 2).csv").
std::string SetAsideName(const std::string& destination, const RecordOrigin& earlier, int attempt);
// When every numbered name is taken: "<folder><number> (前回 <unique>).csv".
std::string FallbackSetAsideName(const std::string& destination, const std::string& unique);

// When the destination exists and was written by another PC (its identity
// differs from the working record file's, or cannot be told), renames it to
// SetAsideName. A file of this same PC is left to be replaced. False, with an
// Error.Log entry, when another PC's file stays where it is: the delivery
// must not overwrite it then.
bool SetAsideOtherPcsFile(RunContext& ctx);

}  // namespace th

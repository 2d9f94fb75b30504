#pragma once
// Making way for the report under its management number: an earlier file of
// that name is renamed beside it, never written into; this PC's own is
// removed once the new report is there.
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

// When a file stands at the destination, renames it to SetAsideName, so the
// report then goes into a file of its own: another name of the earlier file
// (a hard link, a handle someone holds) keeps the earlier report. When this PC
// wrote it (its identity equals the working record file's), `ownEarlier`
// receives where it went: the delivery removes it once the new report is
// verified, and puts it back when none could be made. False, with one
// Error.Log entry, when the earlier file stays where it is (another user's,
// or held open): the delivery must not go on then.
bool SetAsideEarlierFile(RunContext& ctx, std::string& ownEarlier);

}  // namespace th

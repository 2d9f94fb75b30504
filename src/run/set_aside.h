#pragma once
// Making way for the report under its management number: this PC's own
// earlier report is replaced in one step; any other file of that name is
// renamed beside it, never written into.
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

// A name of its own for the new report while it is made, beside the
// destination: "<folder><number> (保存中 <unique>).tmp" (no record file name,
// so nothing takes it for a report while it is not whole).
std::string NewReportName(const std::string& destination, const std::string& unique);

// How the way was made.
struct Way {
  // This PC's earlier report stands at the destination: it wrote it (its
  // identity equals the working record file's) and the user owns it. It stays
  // until the new report replaces it in one step.
  bool replaceOwn = false;
  // Where another file standing there was renamed to (SetAsideName), for a
  // move back when the report cannot follow; empty when none was.
  std::string setAside;
  // The file set aside is this PC's own earlier report (see replaceOwn),
  // set aside because it could not be replaced: it goes once the new one is in place.
  bool ownSetAside = false;
};

// When another file stands at the destination, renames it to SetAsideName,
// so the report then goes into a name of its own: another name of the
// earlier file (a hard link, a handle someone holds) keeps the earlier
// report. False, with one Error.Log entry, when the earlier file stays where
// it is (another user's, held open, no name free): the delivery must not go
// on then. With `replaceOwn` false, this PC's own earlier report is set
// aside too.
bool SetAsideEarlierFile(RunContext& ctx, Way& way, bool replaceOwn = true);

}  // namespace th

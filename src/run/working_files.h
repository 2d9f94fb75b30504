#pragma once
// Where one run keeps its batch files and registry dump: a folder of its own,
// made new by this run under the user's temporary folder on the local disk,
// with a security descriptor of its own that keeps it to the user, SYSTEM and
// the administrators (whatever the temporary folder would pass on). Nothing
// on the shared program folder is written, run or read for them: anyone who
// may deliver there may also plant files there.
#include <memory>
#include <string>
#include <vector>

#include "support/run_context.h"

namespace th {

struct WorkingFiles {
  std::string folder;  // full path, ends in "\"; empty until one is made
  std::string trustLevel, runas, regScan, dump;
  std::string taskName;  // the one-off scheduled task; unique to this run
  // The folder and the batch files the elevated scan runs, held open from
  // their making to the clean-up, so no other process changes, renames or
  // replaces them meanwhile.
  std::vector<std::unique_ptr<platform::Hold>> holds;
};

// Security descriptors (SDDL) of what the run makes for itself: owned by the
// user, open to the user, SYSTEM and the administrators only, nothing taken
// from the parent folder. The folder passes them on to what is made in it.
std::string PrivateFolderAccess(const std::string& userSid);
std::string PrivateFileAccess(const std::string& userSid);

// True when an access list (SDDL, as Hold::access gives it) lets anyone but
// the user, SYSTEM and the administrators in (an entry passed on from the
// parent folder included), or cannot be read.
bool OpenToOthers(const std::string& access, const std::string& userSid);

// Holds what the run has just made with one of those descriptors and checks,
// through the hold, that it keeps an access list open to nobody else
// (OpenToOthers), that its owner is the user and (for a file) that it holds
// `expected` bytes; the outcome says why not (kDenied: a volume without
// access lists, others let in, another owner; kFailed: other bytes).
platform::FileValue<std::unique_ptr<platform::Hold>> HoldOwn(platform::Platform& os, const std::string& path,
                                                             const std::string& userSid,
                                                             const std::string* expected);

// Makes TH-<16 random hex digits> in the temporary folder, under a new name
// whenever one exists already (never taking over a folder this run did not
// create), with PrivateFolderAccess, holds it (a link in its place is not
// followed) and names it the run's working folder (RunContext::workingFolder).
// Throws Failure saying why when none can be made, or the one made is not
// the user's alone (a temporary folder on FAT or exFAT among others).
WorkingFiles ClaimWorkingFiles(RunContext& ctx);

// Lets go of the holds, deletes this run's RegScan.CMD, dump and Runas.CMD
// (in this order), a TrustLevel.CMD that a failed start left, then its folder
// when nothing else is left in it. Never reports a failure.
void DeleteWorkingFiles(RunContext& ctx, WorkingFiles& files);

// The dump's name as RegScan.CMD sets it: ".\TH_reg.TxT", relative to the
// batch file's own folder, which the batch makes current. A temporary folder
// redirected to a UNC path is the one case left where that fails (cmd cannot
// make a UNC folder current and stays in the Windows folder): the full path,
// quoted, is used then.
std::string BatchDumpName(const std::string& dumpPath, const std::string& relativeDump);

}  // namespace th

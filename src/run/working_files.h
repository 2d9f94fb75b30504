#pragma once
// Where one run keeps its batch files and registry dump: a folder of its own,
// made new by this run under the user's temporary folder on the local disk,
// which Windows keeps to the user, SYSTEM and the administrators. Nothing on
// the shared program folder is written, run or read for them: anyone who may
// deliver there may also plant files there.
#include <string>

#include "support/run_context.h"

namespace th {

struct WorkingFiles {
  std::string folder;  // full path, ends in "\"; empty until one is made
  std::string trustLevel, runas, regScan, dump;
  std::string taskName;  // the one-off scheduled task; unique to this run
};

// Makes TH-<16 random hex digits> in the temporary folder, under a new name
// whenever one exists already (never taking over a folder this run did not
// create). Throws Failure when none can be made: the run then ends on its
// error path rather than use a folder it does not own.
WorkingFiles ClaimWorkingFiles(RunContext& ctx);

// Deletes this run's RegScan.CMD, dump and Runas.CMD (in this order), a
// TrustLevel.CMD that a failed start left, then its folder when nothing else
// is left in it. Never reports a failure.
void DeleteWorkingFiles(RunContext& ctx, const WorkingFiles& files);

// The dump's name as RegScan.CMD sets it: ".\TH_reg.TxT", relative to the
// batch file's own folder, which the batch makes current. A temporary folder
// redirected to a UNC path is the one case left where that fails (cmd cannot
// make a UNC folder current and stays in the Windows folder): the full path,
// quoted, is used then.
std::string BatchDumpName(const std::string& dumpPath, const std::string& relativeDump);

}  // namespace th

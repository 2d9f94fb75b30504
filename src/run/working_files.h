#pragma once
// Where one run keeps its batch files and registry dump: a folder of its own
// under SAVE beside the program. Runs started at the same time from one
// shared folder (by other PCs, or by other sessions of one terminal server,
// which share the computer name) then never write, run or delete each
// other's files, and a crashed run's leftovers are never reused.
#include <string>

#include "support/run_context.h"

namespace th {

struct WorkingFiles {
  std::string folder;  // full path, ends in "\"
  std::string runas, regScan, dump;
  std::string taskName;  // the one-off scheduled task; unique on this machine
};

// Creates SAVE\<computer name>-<n> beside the program, n being the first
// number whose folder this run creates itself: one that exists belongs to
// another run or was left by a crashed one. When the folder cannot be made
// at all (a read-only share), its would-be paths are returned all the same
// and the writes into it fail and are logged as usual.
WorkingFiles ClaimWorkingFiles(RunContext& ctx);

// Deletes this run's RegScan.CMD, dump and Runas.CMD (in this order), then
// its folder when nothing else is left in it. Never reports a failure.
void DeleteWorkingFiles(RunContext& ctx, const WorkingFiles& files);

// The dump's name as RegScan.CMD sets it: ".\TH_reg.TxT", relative to the
// batch file's own folder, which the batch makes current. cmd cannot make a
// UNC folder current (it stays in the Windows folder), so under a UNC path
// the full path, quoted, is used instead.
std::string BatchDumpName(const std::string& dumpPath, const std::string& relativeDump);

}  // namespace th

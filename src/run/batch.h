#pragma once
// The registry-scan batch files and their start.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/run_context.h"

namespace th {

// Creates TrustLevel.CMD (beside Runas.CMD), Runas.CMD and RegScan.CMD new,
// the user's alone (PrivateFileAccess), holds each and checks through the hold
// that it is the user's and holds what was written; runs TrustLevel.CMD,
// which starts Runas.CMD through the scheduled task `taskName`, and deletes
// it. The holds of Runas.CMD and RegScan.CMD go to `holds`, for as long as
// the elevated scan may run. relativeRegScan is ignored. True when all three
// were made, checked and held (logged when not): only then is RegScan.CMD
// this run's to run.
bool BatMakeRun(RunContext& ctx, const std::string& runasPath, const std::string& regScanPath,
                const std::string& dumpPath, const std::string& relativeRegScan, const std::string& relativeDump,
                const std::string& taskName, std::vector<std::unique_ptr<platform::Hold>>& holds);

// The lines of each batch file (without line ends), as BatMakeRun writes them.
std::vector<std::string> TrustLevelLines(const std::string& runasPath, const std::string& taskName);
std::vector<std::string> RunasLines(const std::string& regScanPath, const std::string& dumpPath);
std::vector<std::string> RegScanLines(const std::string& relativeDump);

// A file's text: every line followed by CR LF, then one more CR LF.
std::string BatchText(const std::vector<std::string>& lines);

// The command line that runs a batch file: "cmd /c " and the path in two
// pairs of double quotes. cmd takes off the outer pair; with a single pair it
// would keep the quotes only for some paths, and a folder such as
// "Program Files (x86)" or "新しいフォルダー (2)" would split at its blank.
std::string BatchCommandLine(const std::string& batchPath);
// Runs a batch file with that command line and waits for it; a path holding
// "%" is run from its own folder by its bare name (see ShellWaitOnPath).
std::int16_t RunBatch(platform::Platform& os, const std::string& batchPath, platform::ShowWindow show);

// A path as cmd must see it inside a batch file: "%" doubled, so that it is
// not taken for a variable or an argument reference.
std::string BatchLiteral(const std::string& text);
// A path as the PowerShell line must carry it: in apostrophes, each
// apostrophe inside written twice, and cmd's own operators (which cmd does
// not see as quoted between apostrophes) escaped with "^".
std::string PowerShellLiteral(const std::string& text);

}  // namespace th

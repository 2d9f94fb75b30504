#include "run/working_files.h"

#include "platform/failure.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/random_name.h"
#include "support/text.h"

namespace th {

namespace {

// A name already taken is a collision of 64 random bits or a folder someone
// made to catch the run: a few fresh names are plenty either way.
constexpr int kNameTries = 8;

WorkingFiles FilesIn(const std::string& parent, const std::string& unique) {
  WorkingFiles files;
  files.folder = parent + "TH-" + unique + "\\";
  files.trustLevel = files.folder + "TrustLevel.CMD";
  files.runas = files.folder + "Runas.CMD";
  files.regScan = files.folder + "RegScan.CMD";
  files.dump = files.folder + "TH_reg.TxT";
  files.taskName = "TH_tmp_task_" + unique;
  return files;
}

}  // namespace

WorkingFiles ClaimWorkingFiles(RunContext& ctx) {
  platform::Platform& os = ctx.os;
  const std::string parent = AddPathSep(os.fs.tempFolder());
  for (int tries = 1; tries <= kNameTries; ++tries) {
    WorkingFiles files = FilesIn(parent, RandomHex(os));
    const platform::FileOutcome made = os.fs.createFolder(files.folder);
    if (made.done()) return files;
    // Refused for another reason than the name: another name will not help.
    if (made.result != platform::FileResult::kExists) throw Failure(made.failure);
  }
  throw Failure("作業フォルダーを作成できません。同じ名前のフォルダーが既にあります。");
}

void DeleteWorkingFiles(RunContext& ctx, const WorkingFiles& files) {
  if (files.folder.empty()) return;  // none was made: nothing here is ours
  DeleteFiles(ctx.os, files.regScan);
  DeleteFiles(ctx.os, files.dump);
  DeleteFiles(ctx.os, files.runas);
  DeleteFiles(ctx.os, files.trustLevel);
  // Not empty (a file that could not be deleted) or gone: left as it is.
  IgnoreFailure([&] { return ctx.os.fs.removeFolder(files.folder); });
}

std::string BatchDumpName(const std::string& dumpPath, const std::string& relativeDump) {
  return StartsWith(dumpPath, "\\\\") ? DQuote(dumpPath) : relativeDump;
}

}  // namespace th

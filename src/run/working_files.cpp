#include "run/working_files.h"

#include <exception>

#include "support/guard.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/text.h"

namespace th {

namespace {

constexpr int kMaxFolders = 1000;

// The computer name as a folder and task name: letters, digits, "-" and "_"
// only, so that no batch line or schtasks argument needs quoting for it.
std::string NamePart(const std::string& computerName) {
  std::string name;
  for (unsigned char c : computerName) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
    name += plain ? static_cast<char>(c) : '_';
  }
  return name.empty() ? "PC" : name;
}

WorkingFiles FilesIn(const std::string& save, const std::string& name) {
  WorkingFiles files;
  files.folder = save + name + "\\";
  files.runas = files.folder + "Runas.CMD";
  files.regScan = files.folder + "RegScan.CMD";
  files.dump = files.folder + "TH_reg.TxT";
  files.taskName = "TH_tmp_task_" + name;
  return files;
}

}  // namespace

WorkingFiles ClaimWorkingFiles(RunContext& ctx) {
  platform::Platform& os = ctx.os;
  const std::string save = ResolvePath(os, ".\\SAVE\\");
  // Started from another folder, the SAVE made in the current one is not this one.
  IgnoreFailure([&] { os.fs.createFolder(save); });
  const std::string base = NamePart(os.system.computerName()) + "-";
  WorkingFiles files;
  for (int n = 1; n <= kMaxFolders; ++n) {
    files = FilesIn(save, base + std::to_string(n));
    try {
      os.fs.createFolder(files.folder);
      return files;
    } catch (const std::exception&) {
      if (!os.fs.folderExists(files.folder)) return files;  // cannot be made: nothing to take over
    }
  }
  return files;
}

void DeleteWorkingFiles(RunContext& ctx, const WorkingFiles& files) {
  DeleteFiles(ctx.os, files.regScan);
  DeleteFiles(ctx.os, files.dump);
  DeleteFiles(ctx.os, files.runas);
  // Not empty (a file that could not be deleted) or gone: left as it is.
  if (!files.folder.empty()) IgnoreFailure([&] { ctx.os.fs.removeFolder(files.folder); });
}

std::string BatchDumpName(const std::string& dumpPath, const std::string& relativeDump) {
  return StartsWith(dumpPath, "\\\\") ? DQuote(dumpPath) : relativeDump;
}

}  // namespace th

#include "run/main_run.h"

#include <exception>

#include "collect/asset_info.h"
#include "collect/key_block.h"
#include "collect/software.h"
#include "run/batch.h"
#include "run/collection.h"
#include "run/delivery.h"
#include "support/error_log.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/run_context.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

constexpr const char* kRunTitle = "インベントリ収集";
constexpr const char* kCancelMarker = "UAC_Cancel ";

struct WorkingPaths {
  std::string runas, regScan, dump;
};

void DeleteWorkingFiles(RunContext& ctx, const WorkingPaths& p) {
  DeleteFiles(ctx.os, p.regScan);
  DeleteFiles(ctx.os, p.dump);
  DeleteFiles(ctx.os, p.runas);
}

// True when the dump's first line is exactly the refused-elevation marker.
// A missing or unreadable dump fails, which ends the run on the error path.
bool DumpIsCancelMarker(RunContext& ctx, const std::string& dump) {
  TextReader reader(ctx.os, dump);
  std::string first;
  return reader.next(first) && first == kCancelMarker;
}

void Run(RunContext& ctx, WorkingPaths& paths) {
  platform::Platform& os = ctx.os;
  SetLogFile(ctx, ResolvePath(os, ".\\Error.Log"));
  paths.runas = ResolvePath(os, ".\\SAVE\\Runas.CMD");
  paths.regScan = ResolvePath(os, ".\\SAVE\\RegScan.CMD");
  paths.dump = ResolvePath(os, ".\\SAVE\\TH_reg.TxT");
  const std::string relativeRegScan = RemoveAll(".\\SAVE\\RegScan.CMD", "SAVE\\");
  const std::string relativeDump = RemoveAll(".\\SAVE\\TH_reg.TxT", "SAVE\\");

  // Started from another folder, the SAVE made above is not the one the
  // batch files go into: make sure that one exists too.
  try {
    os.fs.createFolder(FolderPart(paths.runas));
  } catch (const std::exception&) {
  }

  BatMakeRun(ctx, paths.runas, paths.regScan, paths.dump, relativeRegScan, relativeDump);
  WaitTimer(os, 30000);
  if (!os.fs.fileExists(paths.dump)) {
    RunBatch(os, paths.regScan, platform::kShowMinimized);
  }
  WaitTimer(os, 6000);

  if (DumpIsCancelMarker(ctx, paths.dump)) {
    os.ui.messageBox(kRunTitle, "キャンセルしたので、データ収集を中止しました。");
    DeleteWorkingFiles(ctx, paths);
    return;
  }

  ctx.entry = os.ui.showEntryForm();
  ctx.rec.Key = ctx.entry.kanriNo;

  if (!GetKey(ctx)) {
    os.ui.messageBox(kRunTitle, "データ収集を中止しました。");
    DeleteWorkingFiles(ctx, paths);
    return;
  }
  if (!ctx.entry.entryFlg) {
    os.ui.messageBox(kRunTitle, "データ収集を中止しました。");
    // The record file already holds the network addresses: never leave it behind.
    DeleteFiles(os, ctx.recordFilePath);
    DeleteWorkingFiles(ctx, paths);
    return;
  }
  os.ui.showNotice(1);

  CollectMachineFacts(ctx);
  SoftCheck(ctx, paths.dump);
  SaveInputData(ctx);

  Deliver(ctx);

  DeleteFiles(os, ctx.recordFilePath);
  DeleteWorkingFiles(ctx, paths);
}

}  // namespace

void Main(platform::Platform& os) {
  if (!os.ui.claimSingleInstance()) return;

  RunContext ctx(os);
  try {
    os.fs.createFolder("SAVE");  // in the current directory; it usually exists already
  } catch (const std::exception&) {
  }

  WorkingPaths paths;
  try {
    Run(ctx, paths);
  } catch (const std::exception& e) {
    WriteErrorLog(ctx, "Main", e.what());
    DeleteFiles(os, ctx.recordFilePath);
    DeleteWorkingFiles(ctx, paths);
  }
}

}  // namespace th

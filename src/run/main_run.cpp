#include "run/main_run.h"

#include <exception>

#include "collect/asset_info.h"
#include "collect/key_block.h"
#include "collect/software.h"
#include "run/batch.h"
#include "run/collection.h"
#include "run/delivery.h"
#include "run/waiting_notice.h"
#include "run/working_files.h"
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

// True when the dump's first line is exactly the refused-elevation marker.
// A missing or unreadable dump fails, which ends the run on the error path.
bool DumpIsCancelMarker(RunContext& ctx, const std::string& dump) {
  TextReader reader(ctx.os, dump);
  std::string first;
  return reader.next(first) && first == kCancelMarker;
}

void Run(RunContext& ctx, WorkingFiles& paths) {
  platform::Platform& os = ctx.os;
  SetLogFile(ctx, ResolvePath(os, ".\\Error.Log"));
  paths = ClaimWorkingFiles(ctx);
  const std::string relativeRegScan = RemoveAll(".\\SAVE\\RegScan.CMD", "SAVE\\");
  const std::string relativeDump = BatchDumpName(paths.dump, RemoveAll(".\\SAVE\\TH_reg.TxT", "SAVE\\"));

  // Up before the scan starts, so the elevation prompt and the scan's
  // window come in front of it; gone before anything else is shown.
  WaitingNotice waiting(os, 30000 + 6000);
  BatMakeRun(ctx, paths.runas, paths.regScan, paths.dump, relativeRegScan, relativeDump, paths.taskName);
  waiting.Wait(30000);
  if (!os.fs.fileExists(paths.dump)) {
    RunBatch(os, paths.regScan, platform::kShowMinimized);
  }
  waiting.Wait(6000);
  waiting.Close();

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
  os.ui.showNotice(platform::kNoticeCollecting);

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

  WorkingFiles paths;
  try {
    Run(ctx, paths);
  } catch (const std::exception& e) {
    WriteErrorLog(ctx, "Main", e.what());
    DeleteFiles(os, ctx.recordFilePath);
    DeleteWorkingFiles(ctx, paths);
  }
}

}  // namespace th

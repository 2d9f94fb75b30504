#include "run/main_run.h"

#include "collect/asset_info.h"
#include "collect/key_block.h"
#include "collect/platform_facts.h"
#include "collect/software.h"
#include "platform/failure.h"
#include "run/batch.h"
#include "run/collection.h"
#include "run/delivery.h"
#include "run/waiting_notice.h"
#include "support/error_log.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/run_context.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

constexpr const char* kRunTitle = "インベントリ収集";
constexpr const char* kCancelMarker = "UAC_Cancel ";
constexpr const char* kNoWorkingFolder = "作業フォルダーを安全に作成できないため、データ収集を中止しました。\n";

}  // namespace

void RunSequence::Run() {
  RunContext& ctx = ctx_;
  WorkingFiles& paths = files_;
  platform::Platform& os = ctx.os;
  SetLogFile(ctx, ResolvePath(os, ".\\Error.Log"));
  try {
    paths = ClaimWorkingFiles(ctx);
  } catch (const Failure& e) {
    // Nothing has started yet: the user hears why nothing will.
    WriteErrorLog(ctx, "Main", e.what());
    os.ui.messageBox(kRunTitle, std::string(kNoWorkingFolder) + e.what());
    return;
  }
  const std::string relativeRegScan = RemoveAll(".\\SAVE\\RegScan.CMD", "SAVE\\");
  const std::string relativeDump = BatchDumpName(paths.dump, RemoveAll(".\\SAVE\\TH_reg.TxT", "SAVE\\"));

  // Up before the scan starts, so the elevation prompt and the scan's
  // window come in front of it; gone before anything else is shown.
  WaitingNotice waiting(os, 30000 + 6000);
  const bool made = BatMakeRun(ctx, paths.runas, paths.regScan, paths.dump, relativeRegScan, relativeDump,
                               paths.taskName, paths.holds);
  waiting.Wait(30000);
  // Only the RegScan.CMD this run made, checked and holds is ever run.
  if (made && !os.fs.fileExists(paths.dump)) {
    RunBatch(os, paths.regScan, platform::kShowMinimized);
  }
  waiting.Wait(6000);
  waiting.Close();

  // The dump's first line tells whether the elevation was refused; a dump
  // that cannot be opened ends the run on the error path.
  bool cancelled = false;
  {
    TextReader dump(os, paths.dump);
    if (!dump.opened()) {
      EndOnErrorPath(dump.outcome().failure);
      return;
    }
    std::string first;
    cancelled = dump.next(first) && first == kCancelMarker;
  }  // closed: SoftCheck reads it again and deletes it
  if (cancelled) {
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
  GetPlatform(ctx);
  SaveInputData(ctx);

  Deliver(ctx);

  DeleteFiles(os, ctx.recordFilePath);
  DeleteWorkingFiles(ctx, paths);
}

void RunSequence::Main() {
  platform::Platform& os = ctx_.os;
  if (!os.ui.claimSingleInstance()) return;

  // In the current directory; it usually exists already, and one that cannot
  // be made shows when GetKey makes the output folder.
  IgnoreFailure([&] { return os.fs.createFolder("SAVE"); });

  try {
    Run();
  } catch (const Failure& e) {
    EndOnErrorPath(e.what());
  }
}

void RunSequence::EndOnErrorPath(std::string_view description) {
  WriteErrorLog(ctx_, "Main", description);
  DeleteFiles(ctx_.os, ctx_.recordFilePath);
  DeleteWorkingFiles(ctx_, files_);
}

}  // namespace th

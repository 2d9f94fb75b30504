#include "run/delivery.h"

#include "platform/failure.h"
#include "run/set_aside.h"
#include "support/error_log.h"
#include "support/paths.h"
#include "support/process_exec.h"

namespace th {

namespace {

constexpr int kAttempts = 10;
constexpr const char* kNotVerified = "コピーを元のファイルと照合できませんでした。";

}  // namespace

platform::FileOutcome CopyFileRetry(RunContext& ctx, const std::string& source, const std::string& destination) {
  const platform::FileOutcome first = ctx.os.fs.copyFile(source, destination);
  if (first.done()) return first;
  // One more try once pending window events have run.
  ctx.os.ui.pumpMessages();
  return ctx.os.fs.copyFile(source, destination);
}

bool VerifyCopy(RunContext& ctx, const std::string& source, const std::string& copy) {
  if (!ctx.os.fs.fileExists(source) || !ctx.os.fs.fileExists(copy)) return false;
  try {
    // Only a comparison that read both files and found them equal verifies.
    return ctx.os.fs.sameContents(source, copy);
  } catch (const Failure&) {
    return false;  // a file that cannot be read is no proof of a good copy
  }
}

void Deliver(RunContext& ctx) {
  // Another PC's file under the same number is renamed first; one that
  // cannot be is not overwritten.
  if (!SetAsideOtherPcsFile(ctx)) {
    ctx.os.ui.closeNotice();
    ctx.os.ui.showNoticeModal(platform::kNoticeSaveFailed);
    return;
  }
  // Whether a file (no folder) stood at the destination before this run.
  const bool existed = ctx.os.fs.fileExists(ctx.destinationPath);
  bool delivered = false;
  std::string failure;  // the last copy's, for the log; empty once a copy went through
  for (int attempt = 1; attempt <= kAttempts && !delivered; ++attempt) {
    // A copy that failed is still checked: an earlier attempt's copy may
    // stand there whole, held only for a moment by a scanner.
    failure = CopyFileRetry(ctx, ctx.recordFilePath, ctx.destinationPath).failure;
    delivered = VerifyCopy(ctx, ctx.recordFilePath, ctx.destinationPath);
    if (!delivered) SleepTime(ctx.os, TimeUnit::kMilliseconds, 100);
  }
  ctx.os.ui.closeNotice();
  if (!delivered) {
    // A copy cut off by a full drive would pass for a delivered file: remove
    // what this run left there. A file that was there before is not ours.
    // A folder standing there is not ours either, and deleting would clear
    // its attributes before failing.
    if (!existed && ctx.os.fs.fileExists(ctx.destinationPath)) DeleteFiles(ctx.os, ctx.destinationPath);
    WriteErrorLog(ctx, "CopyFileRetry", failure.empty() ? kNotVerified : failure);
    ctx.os.ui.showNoticeModal(platform::kNoticeSaveFailed);
    return;
  }
  // Not waited for: Explorer's window stays open after the run ends.
  ctx.os.processes.start(platform::SystemProgram::kExplorer, "explorer " + DQuote(FolderPart(ctx.destinationPath)),
                         platform::kShowNormal, {});
  ctx.os.ui.showNoticeModal(platform::kNoticeSaved);
}

}  // namespace th

#include "run/delivery.h"

#include "platform/failure.h"
#include "run/set_aside.h"
#include "support/error_log.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/process_exec.h"

namespace th {

namespace {

constexpr int kAttempts = 10;
constexpr const char* kNotVerified = "コピーを元のファイルと照合できませんでした。";
constexpr const char* kNameTaken = "保存先に、このプログラムが作ったのではないファイルかフォルダーがあります。書き込まずに保存を中止しました。";

}  // namespace

platform::FileValue<std::unique_ptr<platform::NewCopy>> CopyFileRetry(RunContext& ctx, const std::string& source,
                                                                      const std::string& destination) {
  auto first = ctx.os.fs.copyNew(source, destination);
  if (first.done()) return first;
  // One more try once pending window events have run.
  ctx.os.ui.pumpMessages();
  return ctx.os.fs.copyNew(source, destination);
}

bool VerifyCopy(RunContext& ctx, const std::string& source, platform::NewCopy& copy) {
  if (!ctx.os.fs.fileExists(source)) return false;
  try {
    // Only a comparison that read both files and found them equal verifies.
    return copy.sameContents(source);
  } catch (const Failure&) {
    return false;  // a file that cannot be read is no proof of a good copy
  }
}

void Deliver(RunContext& ctx) {
  // An earlier file of the number is set aside first; one that stays is
  // never written into.
  std::string ownEarlier;
  if (!SetAsideEarlierFile(ctx, ownEarlier)) {
    ctx.os.ui.closeNotice();
    ctx.os.ui.showNoticeModal(platform::kNoticeSaveFailed);
    return;
  }
  bool delivered = false;
  platform::FileOutcome last;  // the last copy's outcome, for the log
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    auto made = CopyFileRetry(ctx, ctx.recordFilePath, ctx.destinationPath);
    last = made.outcome;
    delivered = made.done() && VerifyCopy(ctx, ctx.recordFilePath, *made.value);
    if (delivered) break;
    // A copy that does not verify is this run's own and must not pass for a
    // report: it goes, through the run's own handle (if it stays, the next
    // copy finds its name taken and the delivery fails).
    if (made.value) IgnoreFailure([&] { return made.value->discard(); });
    made.value.reset();
    SleepTime(ctx.os, TimeUnit::kMilliseconds, 100);
  }
  if (!ownEarlier.empty()) {
    platform::FileSystem& fs = ctx.os.fs;
    // This PC's earlier report: superseded once the new one is there (if it
    // cannot go, it stays under its set-aside name); otherwise back in its
    // place, unless the name was taken meanwhile.
    IgnoreFailure([&] {
      return delivered ? fs.removeFile(ownEarlier) : fs.moveFile(ownEarlier, ctx.destinationPath);
    });
  }
  ctx.os.ui.closeNotice();
  if (!delivered) {
    std::string why = last.failure.empty() ? kNotVerified : last.failure;
    // The name was taken after the earlier file went: not ours, not written into.
    if (last.result == platform::FileResult::kExists) why = kNameTaken + (" (" + why + ")");
    WriteErrorLog(ctx, "CopyFileRetry", why);
    ctx.os.ui.showNoticeModal(platform::kNoticeSaveFailed);
    return;
  }
  // The report is there whatever Explorer does: a failure to start it is
  // logged and the user still hears of the success. Not waited for: its
  // window stays open after the run ends.
  Guarded(ctx, "Main", [&] {
    ctx.os.processes.start(platform::SystemProgram::kExplorer, "explorer " + DQuote(FolderPart(ctx.destinationPath)),
                           platform::kShowNormal, {});
  });
  ctx.os.ui.showNoticeModal(platform::kNoticeSaved);
}

}  // namespace th

#include "run/delivery.h"

#include <exception>

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

bool CopyFileRetry(RunContext& ctx, const std::string& source, const std::string& destination,
                   std::string* failure) {
  std::string last;
  try {
    ctx.os.fs.copyFile(source, destination);
  } catch (const Failure&) {
    // One more try once pending window events have run; the outcome shows in VerifyCopy.
    ctx.os.ui.pumpMessages();
    try {
      ctx.os.fs.copyFile(source, destination);
    } catch (const Failure& e) {
      last = e.what();
    }
  }
  if (failure) *failure = last;
  return true;
}

bool VerifyCopy(RunContext& ctx, const std::string& source, const std::string& copy) {
  try {
    if (!ctx.os.fs.fileExists(source) || !ctx.os.fs.fileExists(copy)) return false;
    // Only a comparison that read both files and found them equal verifies:
    // a file that cannot be read is no proof of a good copy.
    return ctx.os.fs.sameContents(source, copy);
  } catch (const std::exception&) {
    return false;
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
  // Whether a file (no folder) stands at the destination; `unknown` when
  // the question itself fails.
  const auto fileAtDestination = [&](bool unknown) {
    try {
      return ctx.os.fs.fileExists(ctx.destinationPath);
    } catch (const std::exception&) {
      return unknown;
    }
  };
  const bool existed = fileAtDestination(true);
  bool delivered = false;
  std::string failure;
  for (int attempt = 1; attempt <= kAttempts && !delivered; ++attempt) {
    CopyFileRetry(ctx, ctx.recordFilePath, ctx.destinationPath, &failure);
    delivered = VerifyCopy(ctx, ctx.recordFilePath, ctx.destinationPath);
    if (!delivered) SleepTime(ctx.os, 0, 100);
  }
  ctx.os.ui.closeNotice();
  if (!delivered) {
    // A copy cut off by a full drive would pass for a delivered file: remove
    // what this run left there. A file that was there before is not ours.
    // A folder standing there is not ours either, and deleting would clear
    // its attributes before failing.
    if (!existed && fileAtDestination(false)) DeleteFiles(ctx.os, ctx.destinationPath);
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

#include "run/delivery.h"

#include <string_view>

#include "platform/failure.h"
#include "run/set_aside.h"
#include "support/error_log.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/random_name.h"

namespace th {

namespace {

using platform::FileOutcome;
using platform::FileResult;

constexpr int kAttempts = 10;
constexpr const char* kPlace = "Deliver";
constexpr const char* kNotVerified = "コピーを元のファイルと照合できませんでした。";
constexpr const char* kNameTaken = "保存先に、このプログラムが作ったのではないファイルかフォルダーがあります。書き込まずに保存を中止しました。";
constexpr const char* kNotFlushed = "コピーをディスクに書き切れませんでした。";
constexpr const char* kNotClosed = "コピーを閉じるときに書き込みが失敗しました。";
constexpr const char* kNotReplaced = "前回のファイルを新しいファイルに置き換えられませんでした。前回のファイルはそのまま残っています。";
constexpr const char* kNotPlaced = "新しいファイルを保存先の名前にできませんでした。";
constexpr const char* kNotMovedBack = "退避した前回のファイルを元の名前に戻せませんでした。退避した名前のまま残っています。";
constexpr const char* kLureFound =
    "保存先フォルダーに、表示すると別のコンピューターへ接続するおそれのあるファイル (ショートカットなど) があるため、"
    "フォルダーを開きませんでした。";
// Files whose icon Explorer takes from wherever they say: one that names
// another computer makes Explorer send the user's sign-in (NTLM) there as it
// draws the folder, and anyone may put one into the output folder. A
// folder's desktop.ini does the same for the folder's own icon.
constexpr std::string_view kLures[] = {".lnk", ".url", ".scf", ".library-ms", ".searchconnector-ms", "desktop.ini"};

bool IsLure(std::string name) {
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  for (std::string_view lure : kLures) {
    if (name.size() >= lure.size() && name.compare(name.size() - lure.size(), lure.size(), lure) == 0) return true;
  }
  return false;
}

// True when the folder, or a folder in it, holds a lure; throws Failure when
// it cannot be listed.
bool HoldsLure(platform::Platform& os, const std::string& folder) {
  for (const std::string& name : os.fs.search(folder)) {
    if (name == "." || name == "..") continue;
    if (IsLure(name)) return true;
    if (os.fs.isDirectory(folder + name) && !os.fs.search(folder + name + "\\desktop.ini").empty()) return true;
  }
  return false;
}

// Opens the output folder in Explorer unless something in it would make
// Explorer reach out to another computer (logged; the report is there all
// the same). Not waited for: its window stays open after the run ends.
void OpenOutputFolder(RunContext& ctx) {
  const std::string folder = FolderPart(ctx.destinationPath);
  Guarded(ctx, "Main", [&] {
    if (HoldsLure(ctx.os, folder)) {
      WriteErrorLog(ctx, "Main", kLureFound);
      return;
    }
    ctx.os.processes.start(platform::SystemProgram::kExplorer, "explorer " + DQuote(folder), platform::kShowNormal,
                           {});
  });
}

// A step's failure, after what it means here.
FileOutcome Because(const FileOutcome& outcome, const char* meaning) {
  return {outcome.result, meaning + (" (" + outcome.failure + ")")};
}

// One attempt: the new report copied under `fresh`, flushed, checked through
// the run's own handle and closed, each with its outcome checked. A copy that
// fails a step goes again: it must not pass for a report.
FileOutcome MakeWhole(RunContext& ctx, const std::string& fresh) {
  auto made = CopyFileRetry(ctx, ctx.recordFilePath, fresh);
  if (!made.done()) {
    return made.outcome.result == FileResult::kExists ? Because(made.outcome, kNameTaken) : made.outcome;
  }
  platform::NewCopy& copy = *made.value;
  FileOutcome step = copy.flush();
  if (!step.done()) step = Because(step, kNotFlushed);
  if (step.done() && !VerifyCopy(ctx, ctx.recordFilePath, copy)) step = {FileResult::kFailed, kNotVerified};
  if (!step.done()) {
    // Through the run's own handle; if it stays, it is no report (not a record file's name).
    IgnoreFailure([&] { return copy.discard(); });
    return step;
  }
  step = copy.close();
  if (!step.done()) {
    // Closed already: by its name, which is this run's own.
    IgnoreFailure([&] { return ctx.os.fs.removeFile(fresh); });
    return Because(step, kNotClosed);
  }
  return {};
}

// Makes up to ten attempts; one Error.Log entry, the last attempt's, when
// none made the report whole.
bool MakeNewReport(RunContext& ctx, std::string& fresh) {
  FileOutcome last;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    fresh = NewReportName(ctx.destinationPath, RandomHex(ctx.os));
    last = MakeWhole(ctx, fresh);
    if (last.done()) return true;
    SleepTime(ctx.os, TimeUnit::kMilliseconds, 100);
  }
  WriteErrorLog(ctx, "CopyFileRetry", last.failure);
  return false;
}

// Puts the whole report in place in one rename: over this PC's own earlier
// report, or into the name another file was set aside from. Each step that
// fails is logged; a set-aside file then goes back to its name.
bool PutInPlace(RunContext& ctx, const std::string& fresh) {
  platform::FileSystem& fs = ctx.os.fs;
  Way way;
  if (!SetAsideEarlierFile(ctx, way)) return false;  // logged
  FileOutcome placed =
      way.replaceOwn ? fs.replaceFile(fresh, ctx.destinationPath) : fs.moveFile(fresh, ctx.destinationPath);
  // Windows refuses to replace a file that a program holds open even where
  // it may be renamed (a viewer that shares deleting): it goes aside first
  // then, as another file would, and is removed once the new one is in place.
  if (way.replaceOwn && (placed.result == FileResult::kDenied || placed.result == FileResult::kHeld)) {
    if (!SetAsideEarlierFile(ctx, way, false)) return false;  // logged
    placed = fs.moveFile(fresh, ctx.destinationPath);
  }
  if (placed.done()) {
    // If it cannot go, it stays under its set-aside name: history, not lost.
    if (way.ownSetAside) IgnoreFailure([&] { return fs.removeFile(way.setAside); });
    return true;
  }
  const char* meaning = way.replaceOwn ? kNotReplaced : placed.result == FileResult::kExists ? kNameTaken : kNotPlaced;
  WriteErrorLog(ctx, kPlace, Because(placed, meaning).failure);
  if (!way.setAside.empty()) {
    const FileOutcome back = fs.moveFile(way.setAside, ctx.destinationPath);
    if (!back.done()) WriteErrorLog(ctx, kPlace, Because(back, kNotMovedBack).failure);
  }
  return false;
}

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
  // Made whole first, then put in place: the number's name never stands
  // empty, and nothing earlier goes before the new report is there.
  std::string fresh;
  const bool whole = MakeNewReport(ctx, fresh);
  const bool delivered = whole && PutInPlace(ctx, fresh);
  // Not put in place: no report (its name is no record file's), so it goes.
  if (whole && !delivered) IgnoreFailure([&] { return ctx.os.fs.removeFile(fresh); });
  ctx.os.ui.closeNotice();
  if (!delivered) {
    ctx.os.ui.showNoticeModal(platform::kNoticeSaveFailed);
    return;
  }
  OpenOutputFolder(ctx);
  ctx.os.ui.showNoticeModal(platform::kNoticeSaved);
}

}  // namespace th

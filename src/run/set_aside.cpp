#include "run/set_aside.h"

#include "platform/failure.h"
#include "shared/record_format.h"
#include "support/error_log.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/random_name.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

constexpr const char* kProc = "SetAsideEarlierFile";
constexpr int kMaxNames = 100;
// Fresh unguessable names tried once every numbered one is taken.
constexpr int kFallbackNames = 3;
// The earlier file's own words in the new name (its day and computer name,
// which anyone could have written) are cut to this many characters: a name
// too long for the file system would otherwise cost the user their report.
constexpr std::size_t kMaxNoteChars = 56;
constexpr int kSetAsideAttempts = 10;

// Why an earlier file stays: what the system said, after what it means here.
std::string EarlierFileStays(const platform::FileOutcome& outcome) {
  const char* why = outcome.result == platform::FileResult::kHeld
                        ? "前回のファイルは別のプログラムが開いているため、移動も削除もできません。"
                        : "前回のファイルは別のユーザーのもので、移動も削除もできません。";
  return std::string(why) + "上書きせずに保存を中止しました。(" + outcome.failure + ")";
}

bool IsIdentity(const RecordFields& f) {
  return (f[kGroup] == "LAN" && f[kItem] == "LAN" && f[kSubItem] == "コンピュータ名") ||
         (f[kGroup] == "WMI" && f[kItem] == "MotherBoard" && f[kSubItem] == "Device_ID");
}

// A text that can stand in a file name.
std::string FileNameSafe(std::string text) {
  for (char& c : text) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20) {
      c = '_';
    }
  }
  return text;
}

std::string Stem(const std::string& destination) {
  std::string stem = FileNamePart(destination);
  if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".csv") == 0) stem.resize(stem.size() - 4);
  return stem;
}

}  // namespace

platform::FileValue<RecordOrigin> ReadRecordOrigin(RunContext& ctx, const std::string& recordFile) {
  platform::FileValue<RecordOrigin> read;
  RecordOrigin& origin = read.value;
  TextReader reader(ctx.os, recordFile);
  read.outcome = reader.outcome();
  std::string line;
  while (reader.next(line)) {
    RecordFields f;
    if (!SplitRecordLine(line, f)) continue;
    if (origin.renewalday.empty() && f[kRenewalday] != "Renewalday") origin.renewalday = f[kRenewalday];
    if (!IsIdentity(f)) continue;
    origin.identity.emplace_back(f[kContents]);
    if (origin.computerName.empty() && f[kSubItem] == "コンピュータ名") origin.computerName = f[kContents];
  }
  return read;
}

std::string SetAsideName(const std::string& destination, const RecordOrigin& earlier, int attempt) {
  std::string note = "前回";
  if (!earlier.renewalday.empty()) note += " " + ReplaceAll(earlier.renewalday, "/", "-");
  if (!earlier.computerName.empty()) note += " " + earlier.computerName;
  note = FirstChars(note, kMaxNoteChars);
  if (attempt > 1) note += " " + std::to_string(attempt);
  return FolderPart(destination) + Stem(destination) + " (" + FileNameSafe(note) + ").csv";
}

std::string FallbackSetAsideName(const std::string& destination, const std::string& unique) {
  return FolderPart(destination) + Stem(destination) + " (前回 " + unique + ").csv";
}

std::string NewReportName(const std::string& destination, const std::string& unique) {
  return FolderPart(destination) + Stem(destination) + " (保存中 " + unique + ").tmp";
}

// Whether the user owns the file at `path`; false when that cannot be read.
static bool OwnedByUser(platform::Platform& os, const std::string& path) {
  bool owned = false;
  // Unreadable: whose it is cannot be told, so it is not taken for the user's.
  IgnoreFailure([&] {
    const std::string user = os.system.userSid();
    auto held = os.fs.hold(path);
    owned = held.done() && held.value->owner() == user;
  });
  return owned;
}

// One try: true when the way is made, false when no name is free (logged).
// `failure` receives the outcome when the try failed for another reason (a
// file held or refused), to be tried again.
static bool TrySetAside(RunContext& ctx, platform::FileOutcome& failure, Way& way, bool replaceOwn) {
  platform::Platform& os = ctx.os;
  const std::string& destination = ctx.destinationPath;
  if (!os.fs.fileExists(destination)) return true;
  // Unreadable: whose it is cannot be told, so it is kept (its identity stays empty).
  RecordOrigin earlier, ours;
  IgnoreFailure([&] { earlier = ReadRecordOrigin(ctx, destination).value; });
  IgnoreFailure([&] { ours = ReadRecordOrigin(ctx, ctx.recordFilePath).value; });
  // Its contents alone could be anyone's copy: only the user's own file goes.
  const bool own = !earlier.identity.empty() && earlier.identity == ours.identity && OwnedByUser(os, destination);
  if (own && replaceOwn) {
    way.replaceOwn = true;
    return true;
  }

  for (int attempt = 1; attempt <= kMaxNames + kFallbackNames; ++attempt) {
    const std::string aside = attempt <= kMaxNames ? SetAsideName(destination, earlier, attempt)
                                                   : FallbackSetAsideName(destination, RandomHex(os));
    if (os.fs.fileExists(aside)) continue;
    const platform::FileOutcome moved = os.fs.moveFile(destination, aside);
    if (moved.done()) {
      way.setAside = aside;
      way.ownSetAside = own;
      return true;
    }
    if (!os.fs.fileExists(destination)) return true;  // moved aside by another run meanwhile
    if (!os.fs.fileExists(aside)) {  // not for want of the name: held, denied
      failure = moved;
      return false;
    }
  }
  WriteErrorLog(ctx, kProc, "前回のファイルを退避する名前が空いていません。");
  failure = {};
  return false;
}

bool SetAsideEarlierFile(RunContext& ctx, Way& way, bool replaceOwn) {
  // A file held for a moment (a viewer, a virus scanner) is tried as often
  // and as far apart as the delivery's own copy would be.
  platform::FileOutcome failure;
  for (int attempt = 1; attempt <= kSetAsideAttempts; ++attempt) {
    if (attempt > 1) SleepTime(ctx.os, TimeUnit::kMilliseconds, 100);
    failure = {};
    way = {};
    if (TrySetAside(ctx, failure, way, replaceOwn)) return true;
    if (failure.done()) return false;  // no name free: logged already
  }
  WriteErrorLog(ctx, kProc, EarlierFileStays(failure));
  return false;
}

}  // namespace th

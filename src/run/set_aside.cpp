#include "run/set_aside.h"

#include <exception>

#include "collect/record_format.h"
#include "support/error_log.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/random_name.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

constexpr const char* kProc = "SetAsideOtherPcsFile";
constexpr int kMaxNames = 100;
// Fresh unguessable names tried once every numbered one is taken.
constexpr int kFallbackNames = 3;
// The earlier file's own words in the new name (its day and computer name,
// which anyone could have written) are cut to this many characters: a name
// too long for the file system would otherwise cost the user their report.
constexpr std::size_t kMaxNoteChars = 56;
constexpr int kSetAsideAttempts = 10;

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

RecordOrigin ReadRecordOrigin(RunContext& ctx, const std::string& recordFile) {
  RecordOrigin origin;
  TextReader reader(ctx.os, recordFile);
  std::string line;
  while (reader.next(line)) {
    RecordFields f;
    if (!SplitRecordLine(line, f)) continue;
    if (origin.renewalday.empty() && f[kRenewalday] != "Renewalday") origin.renewalday = f[kRenewalday];
    if (!IsIdentity(f)) continue;
    origin.identity.emplace_back(f[kContents]);
    if (origin.computerName.empty() && f[kSubItem] == "コンピュータ名") origin.computerName = f[kContents];
  }
  return origin;
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

// One try: true when set aside or not needed, false when no name is free
// (logged); throws what a held or unreadable file raises.
static bool TrySetAside(RunContext& ctx) {
  platform::Platform& os = ctx.os;
  const std::string& destination = ctx.destinationPath;
  if (!os.fs.fileExists(destination)) return true;
  RecordOrigin earlier;
  try {
    earlier = ReadRecordOrigin(ctx, destination);
  } catch (const std::exception&) {
    // Unreadable: whose it is cannot be told, so it is kept.
  }
  const RecordOrigin ours = ReadRecordOrigin(ctx, ctx.recordFilePath);
  if (!earlier.identity.empty() && earlier.identity == ours.identity) return true;

  for (int attempt = 1; attempt <= kMaxNames + kFallbackNames; ++attempt) {
    const std::string aside = attempt <= kMaxNames ? SetAsideName(destination, earlier, attempt)
                                                   : FallbackSetAsideName(destination, RandomHex(os));
    if (os.fs.fileExists(aside)) continue;
    try {
      os.fs.moveFile(destination, aside);
      return true;
    } catch (const std::exception&) {
      if (!os.fs.fileExists(destination)) return true;  // moved aside by another run meanwhile
      if (!os.fs.fileExists(aside)) throw;
    }
  }
  WriteErrorLog(ctx, kProc, "前回のファイルを退避する名前が空いていません。");
  return false;
}

bool SetAsideOtherPcsFile(RunContext& ctx) {
  // A file held for a moment (a viewer, a virus scanner) is tried as often
  // and as far apart as the delivery's own copy would be.
  std::string failure;
  for (int attempt = 1; attempt <= kSetAsideAttempts; ++attempt) {
    if (attempt > 1) SleepTime(ctx.os, 0, 100);
    try {
      return TrySetAside(ctx);
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
  WriteErrorLog(ctx, kProc, failure);
  return false;
}

}  // namespace th

#include "support/error_log.h"

#include "support/guard.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

std::string WithoutNul(std::string s) { return RemoveAll(std::move(s), std::string_view("\0", 1)); }

// Several PCs append to one shared Error.Log; each holds it only for the
// moment of its single write, so a held file is tried again briefly.
constexpr int kBusyTries = 20;
constexpr std::uint32_t kBusyPauseMs = 50;

}  // namespace

void SetLogFile(RunContext& ctx, const std::string& path) {
  ctx.log.path = TrimSpaces(path);
  ctx.log.enabled = !ctx.log.path.empty();
}

void WriteLog(RunContext& ctx, const std::string& text) {
  if (!ctx.log.enabled) return;
  const platform::LocalTime now = ctx.os.clock.now();
  std::string line;
  // A text beyond the 16-bit range cannot be cleaned of its NULs: that entry
  // is dropped, as one the file refuses is.
  if (!IgnoreFailure([&] { line = FormatDate(now) + " " + FormatTime(now) + " " + WithoutNul(text); })) return;
  for (int tries = 1;; ++tries) {
    // One write: entries of several writers never mix.
    const platform::FileOutcome written = AppendTextLine(ctx.os, ctx.log.path, line);
    // Refused otherwise (no folder, no right): dropped, the next entry tries again.
    if (written.result != platform::FileResult::kHeld || tries == kBusyTries) return;
    ctx.os.clock.sleep(kBusyPauseMs);
  }
}

namespace {

// A field's line breaks and TABs as blanks: a value read from WMI, the
// registry or a file on the share must not start a line or a field of its
// own that would pass for another entry.
std::string Field(std::string_view text) { return OnOneLine(text, true); }

}  // namespace

std::string ErrorEntryText(RunContext& ctx, std::string_view procedure, std::string_view description) {
  const Record& r = ctx.rec;
  std::string entry;
  entry += '\t' + Field(WithoutNul(ctx.os.system.computerName()));
  entry += '\t' + Field(procedure);
  for (const std::string* field : {&r.Key, &r.Group, &r.Item, &r.SubItem, &r.Contents, &r.Unit, &r.Renewalday}) {
    entry += '\t' + TrimSpaces(Field(*field));
  }
  entry += '\t' + Field(description);
  return entry;
}

void WriteErrorLog(RunContext& ctx, std::string_view procedure, std::string_view description) {
  std::string entry;
  // The log never fails its caller, a failure handler already: a field
  // beyond the 16-bit text range drops the entry.
  if (IgnoreFailure([&] { entry = ErrorEntryText(ctx, procedure, description); })) WriteLog(ctx, entry);
}

}  // namespace th

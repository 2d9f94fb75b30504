#include "support/error_log.h"

#include <exception>

#include "platform/failure.h"
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
  try {
    const platform::LocalTime now = ctx.os.clock.now();
    const std::string line = FormatDate(now) + " " + FormatTime(now) + " " + WithoutNul(text);
    for (int tries = 1;; ++tries) {
      try {
        AppendTextLine(ctx.os, ctx.log.path, line);  // one write: entries of several writers never mix
        return;
      } catch (const FileBusy&) {
        if (tries == kBusyTries) return;
        ctx.os.clock.sleep(kBusyPauseMs);
      }
    }
  } catch (const std::exception&) {
    // Dropped: the next entry tries again.
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
  try {
    WriteLog(ctx, ErrorEntryText(ctx, procedure, description));
  } catch (const std::exception&) {
    // The log never fails its caller.
  }
}

}  // namespace th

#include "collect/network_identity.h"

#include "collect/key_block.h"
#include "collect/record_file.h"
#include "platform/failure.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

constexpr int kDnsHostName = 1;

}  // namespace

void GetPCName(RunContext& ctx) {
  Record& rec = ctx.rec;
  rec.Start("LAN", "LAN", "コンピュータ名");

  auto record = [&] {
    if (rec.Contents.empty()) return;
    SaveTextSet(ctx);
    ctx.recordedComputerName = rec.Contents;
  };
  // Each source that fails gives no name, and the next one is asked: the
  // procedure ends quietly when none has one.
  if (ctx.recordedComputerName.empty()) {
    rec.Contents = QueryComputerName(ctx, kDnsHostName);
    record();
  }
  if (ctx.recordedComputerName.empty()) {
    rec.Contents = ctx.os.system.environment("COMPUTERNAME").value_or("");
    record();
  }
  if (ctx.recordedComputerName.empty()) {
    const std::string scratch = MakeTempFile(ctx, "WKP");
    // Quoted: a temporary folder under a user name with a blank would
    // otherwise split the redirection.
    if (!scratch.empty() &&
        ShellWaitOnPath(ctx.os, "cmd.exe /c Hostname > ", scratch, DQuote, platform::kHide) == 0) {
      std::vector<std::string> lines;
      if (ReadTextLines(ctx, scratch, lines, "") > 0) rec.Contents = lines[0];
    }
    DeleteFiles(ctx.os, scratch);
    record();
  }
}

std::string QueryComputerName(RunContext& ctx, int format) { return ctx.os.system.computerNameEx(format); }

int ReadTextLines(RunContext& ctx, const std::string& path, std::vector<std::string>& lines,
                  const std::string& skipPrefix) {
  lines.clear();
  const std::int64_t length = FileLength(ctx.os, path);
  if (length <= 0) return -1;
  TextReader reader(ctx.os, path);
  if (!reader.opened()) return -1;
  try {
    for (std::string line; reader.next(line);) {
      if (line.empty() || (!skipPrefix.empty() && StartsWith(line, skipPrefix))) continue;
      lines.push_back(line);
    }
  } catch (const Failure&) {
    lines.clear();  // a read cut short gives nothing rather than part of the file
    return -1;
  }
  return lines.empty() ? -1 : static_cast<int>(lines.size());
}

}  // namespace th

#include "collect/network_identity.h"

#include <exception>

#include "collect/key_block.h"
#include "collect/record_file.h"
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
  std::string scratch;
  try {
    if (ctx.recordedComputerName.empty()) {
      rec.Contents = QueryComputerName(ctx, kDnsHostName);
      record();
    }
    if (ctx.recordedComputerName.empty()) {
      rec.Contents = ctx.os.system.environment("COMPUTERNAME").value_or("");
      record();
    }
    if (ctx.recordedComputerName.empty()) {
      scratch = MakeTempFile(ctx, "WKP");
      // Quoted: a temporary folder under a user name with a blank would
      // otherwise split the redirection.
      if (!scratch.empty() &&
          ShellWaitOnPath(ctx.os, "cmd.exe /c Hostname > ", scratch, DQuote, platform::kHide) == 0) {
        std::vector<std::string> lines;
        if (ReadTextLines(ctx, scratch, lines, "") > 0) rec.Contents = lines[0];
      }
      DeleteFiles(ctx.os, scratch);
      scratch.clear();
      record();
    }
  } catch (const std::exception&) {
    // Ends quietly; the scratch file goes all the same.
    DeleteFiles(ctx.os, scratch);
  }
}

std::string QueryComputerName(RunContext& ctx, int format) {
  try {
    return ctx.os.system.computerNameEx(format);
  } catch (const std::exception&) {
    return "";
  }
}

int ReadTextLines(RunContext& ctx, const std::string& path, std::vector<std::string>& lines,
                  const std::string& skipPrefix) {
  lines.clear();
  const std::int64_t length = FileLength(ctx.os, path);
  if (length <= 0) return -1;
  try {
    TextReader reader(ctx.os, path);
    for (std::string line; reader.next(line);) {
      if (line.empty() || (!skipPrefix.empty() && StartsWith(line, skipPrefix))) continue;
      lines.push_back(line);
    }
  } catch (const std::exception&) {
    lines.clear();
    return -1;
  }
  return lines.empty() ? -1 : static_cast<int>(lines.size());
}

}  // namespace th

#include "run/batch.h"

#include <utility>

#include "platform/failure.h"
#include "run/working_files.h"
#include "support/error_log.h"
#include "support/paths.h"
#include "support/process_exec.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

constexpr const char* kUninstallKeys[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};

// Quoted: a folder name holding "&", "^" or the like would otherwise split
// the line once %~dp0 is expanded, and the batch would go on in another folder.
constexpr const char* kChangeToOwnFolder = "cd /d \"%~dp0\"";

constexpr const char* kNotOurs = "同じ名前のファイルが既にあります。";

// PowerShell takes the typographic single quotes for apostrophes as well.
constexpr const char* kApostrophes[] = {"'", "\u2018", "\u2019", "\u201A", "\u201B"};

// Replaces every occurrence in one left-to-right pass (the replacement is
// never scanned again, unlike ReplaceAll).
std::string ReplaceEach(const std::string& text, std::string_view search, std::string_view replacement) {
  std::string out;
  std::size_t from = 0;
  for (auto at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
    out.append(text, from, at - from);
    out += replacement;
    from = at + search.size();
  }
  out.append(text, from);
  return out;
}

}  // namespace

std::string BatchLiteral(const std::string& text) { return ReplaceEach(text, "%", "%%"); }

std::string PowerShellLiteral(const std::string& text) {
  std::string quoted = text;
  for (const char* q : kApostrophes) quoted = ReplaceEach(quoted, q, std::string(q) + q);
  quoted = SQuote(quoted);
  std::string escaped;
  for (char c : quoted) {
    if (c == '^' || c == '&' || c == '|' || c == '<' || c == '>') escaped += '^';
    escaped += c;
  }
  return BatchLiteral(escaped);
}

std::vector<std::string> TrustLevelLines(const std::string& runasPath, const std::string& taskName) {
  return {
      "@echo off",
      kChangeToOwnFolder,
      "",
      "schtasks /create /tn " + taskName + " /tr " + DQuote(BatchLiteral(runasPath)) + " /sc once /st 00:00 /f",
      "schtasks /run /tn " + taskName,
      "timeout /T 10",
      "schtasks /delete /f /tn " + taskName,
      "",
  };
}

std::vector<std::string> RunasLines(const std::string& regScanPath, const std::string& dumpPath) {
  return {
      "@echo off",
      kChangeToOwnFolder,
      "",
      "@powershell start-process " + PowerShellLiteral(regScanPath) + " -verb runas",
      "if %ERRORLEVEL% == 1 (",
      // The blank before ">" is part of the marker: "UAC_Cancel ".
      "echo UAC_Cancel > " + DQuote(BatchLiteral(dumpPath)) + ")",
      "",
  };
}

std::vector<std::string> RegScanLines(const std::string& relativeDump) {
  std::vector<std::string> lines = {
      "@echo off",
      kChangeToOwnFolder,
      "",
      "rem データファイルをクリア",
      "Set THREG=" + BatchLiteral(relativeDump),
      // /q: where the dump's name is taken by a folder, del would ask
      // "Are you sure" in a console nobody answers, and the run would hang.
      "@del /q %THREG% 2>NUL",
      "",
      "rem レジストリよりインストール情報取得",
  };
  for (const char* key : kUninstallKeys) lines.push_back("@reg query " + DQuote(key) + " /s >>%THREG% 2>&1");
  lines.push_back("");
  return lines;
}

namespace {

std::string CmdQuote(const std::string& path) { return DQuote(DQuote(path)); }

}  // namespace

std::string BatchCommandLine(const std::string& batchPath) { return "cmd /c " + CmdQuote(batchPath); }

std::int16_t RunBatch(platform::Platform& os, const std::string& batchPath, platform::ShowWindow show) {
  return ShellWaitOnPath(os, "cmd /c ", batchPath, CmdQuote, show);
}

std::string BatchText(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text + "\r\n";
}

bool BatMakeRun(RunContext& ctx, const std::string& runasPath, const std::string& regScanPath,
                const std::string& dumpPath, const std::string& /*relativeRegScan*/,
                const std::string& relativeDump, const std::string& taskName,
                std::vector<std::unique_ptr<platform::Hold>>& holds) {
  platform::Platform& os = ctx.os;
  const std::string trustLevelPath = FolderPart(runasPath) + "TrustLevel.CMD";
  const std::pair<const std::string*, std::vector<std::string>> files[] = {
      {&trustLevelPath, TrustLevelLines(runasPath, taskName)},
      {&runasPath, RunasLines(regScanPath, dumpPath)},
      {&regScanPath, RegScanLines(relativeDump)},
  };
  // Each file is created new, in one write, in the run's own folder: a file
  // already there is not this run's and is neither run nor written to. Each
  // is then held, so that what runs is what was written and checked. A file
  // that cannot be written, held or checked stops here, before anything runs.
  // The text must reach the file exactly: a character the code page only
  // approximates ("¦" written as "|") would be read by cmd as syntax.
  std::vector<std::unique_ptr<platform::Hold>> held;
  try {
    const std::string user = os.system.userSid();
    for (const auto& [path, lines] : files) {
      const std::string text = BatchText(lines);
      const platform::FileOutcome made = WriteNewExactText(os, *path, text, PrivateFileAccess(user));
      if (!made.done()) {
        WriteErrorLog(ctx, "BatMakeRun", made.result == platform::FileResult::kExists ? kNotOurs : made.failure);
        return false;
      }
      const std::string bytes = os.codePage.toAnsi(text);
      auto own = HoldOwn(os, *path, user, &bytes);
      if (!own.done()) {
        WriteErrorLog(ctx, "BatMakeRun", own.outcome.failure);
        return false;
      }
      held.push_back(std::move(own.value));
    }
  } catch (const Failure& e) {
    WriteErrorLog(ctx, "BatMakeRun", e.what());
    return false;
  }
  RunBatch(os, trustLevelPath, platform::kShowMinimized);
  held.front().reset();  // TrustLevel.CMD has run: let go of it to delete it
  DeleteFiles(os, trustLevelPath);
  for (auto& h : held) {
    if (h) holds.push_back(std::move(h));
  }
  return true;
}

}  // namespace th

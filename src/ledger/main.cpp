// tallyhawk-ledger: record files into one database, checked and exported.
#include <iostream>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "ledger/cli.h"
#include "ledger/report/report_step.h"
#include "platform/browser.h"
#include "platform/console.h"

#ifdef _WIN32
#include "platform/win32/dll_search.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win_codepage.h"
#include "platform/win32/win_filesystem.h"
#else
#include <filesystem>

#include "platform/posix/iconv_codepage.h"
#endif

namespace {

// Where a ledger started from Explorer keeps its database.
std::string ProgramFolder() {
#ifdef _WIN32
  return th::win32::WinFileSystem().programFolder();
#else
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
#endif
}

int RunChecked(const std::vector<std::string>& args);

int Unexpected(const char* what) {
  std::cerr << "tallyhawk-ledger: 予期しないエラー / unexpected error: " << what << "\n";
  return th::ledger::kUsageError;
}

// Last resort: what no step expects (a programming error, a standard call's
// error, memory exhausted) ends the program with its own description and the
// failure's exit code, not a crash.
int Run(const std::vector<std::string>& args) {
  try {
    return RunChecked(args);
  } catch (const std::logic_error& e) {
    return Unexpected(e.what());
  } catch (const std::runtime_error& e) {
    return Unexpected(e.what());
  } catch (const std::bad_alloc& e) {
    return Unexpected(e.what());
  }
}

int RunChecked(const std::vector<std::string>& args) {
  th::platform::PrepareConsole();
  // A console made for this process alone: a double-click or a folder dropped on the program.
  const bool fromExplorer = th::platform::OwnsConsole();
  const auto parsed = fromExplorer ? th::ledger::ParseExplorerStart(args, ProgramFolder(), std::cout, std::cerr)
                                   : th::ledger::ParseCommandLine(args, std::cout, std::cerr);
  int status = parsed.status;
  if (parsed.options) {
#ifdef _WIN32
    th::win32::WinCodePage codePage(932);  // record files are 932 whatever the system's code page
#else
    th::platform::IconvCodePage codePage;
#endif
    // The import hands the report the records it read, so that the report
    // does not read them back from the database.
    std::unique_ptr<th::ledger::TakenRecords> taken;
    if (!parsed.options->noReport) taken = std::make_unique<th::ledger::TakenRecords>();
    status = th::ledger::RunLedger(*parsed.options, codePage, std::cout, std::cerr,
                                   th::platform::StderrIsTerminal(), taken.get());
    if (status != th::ledger::kUsageError && !parsed.options->noReport) {
      const std::string report = th::ledger::ReportPath(parsed.options->db, parsed.options->reportFile);
      if (!th::ledger::WriteReportFile(parsed.options->db, report, std::cout, std::cerr, taken.get())) {
        status = th::ledger::kOutputFailed;
      } else if (parsed.options->openReport) {
        if (!th::platform::OpenInBrowser(report)) std::cerr << "tallyhawk-ledger: ブラウザーを開けません / cannot open a browser\n";
      }
    }
  }
  // The console Explorer opened would vanish with the summary in it.
  if (fromExplorer) {
    std::cout << "\n何かキーを押すと終了します / Press any key to close" << std::endl;
    th::platform::WaitForKey();
  }
  return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  // First of all: DLLs come from the system folder only, not from beside the program.
  th::win32::RestrictDllSearchToSystemFolder();
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(th::win32::Utf8(argv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv, argv + argc)); }
#endif

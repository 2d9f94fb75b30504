#pragma once
// The command line of tallyhawk-ledger and the run it asks for.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ledger/exports/exports.h"
#include "ledger/store/distinct_records.h"
#include "platform/codepage.h"

namespace th::ledger {

// 3: the import was kept, but an export or the report could not be written.
// 4: everything was taken and written, but findings need attention (a kind
// marked needsAttention in finding_kinds.cpp: a catalogue value unreadable,
// a record file cut short...). When several hold, the first of 2, 3, 1, 4.
enum ExitStatus { kAllTaken = 0, kSomeRejected = 1, kUsageError = 2, kOutputFailed = 3, kNeedsAttention = 4 };

struct Options {
  std::vector<std::string> paths;
  std::string db = "ledger.sqlite";
  std::optional<int> staleDays;  // given: remembered in the database; -1: "off", forgotten
  std::vector<std::string> forget;  // numbers to remove
  bool showSettings = false;
  std::optional<std::string> registerFile;
  std::optional<std::string> catalogueFile;
  std::optional<std::string> pricesFile;  // the Windows 11 plan's price list
  std::optional<std::string> exportDir;  // the CSV files and inventory.xlsx
  std::optional<std::string> xlsxFile;   // the workbook alone
  std::optional<std::string> glpiDir;
  std::optional<std::string> glpiTag;  // the register column that becomes the GLPI tag
  ExportEncoding encoding = ExportEncoding::Utf8Bom;
  std::optional<std::string> reportFile;  // default: report.html beside the database
  bool openReport = false;
  bool noReport = false;  // a very large ledger: the report holds every PC in memory
};

// Parses UTF-8 arguments (argv[0] is the program). Returns the options, or
// the exit status after printing help (0) or the error (kUsageError).
struct ParsedCommandLine {
  std::optional<Options> options;
  int status = kAllTaken;
};
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Imports, checks and exports as the options say; prints the summary. With
// `taken`, the records of the collections taken are kept there for the report.
int RunLedger(const Options& options, platform::CodePage& codePage, std::ostream& out, std::ostream& err,
              bool showProgress, TakenRecords* taken = nullptr);

}  // namespace th::ledger

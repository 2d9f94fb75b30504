#pragma once
// One import run: every input file read, hashed and, when new, taken or
// rejected, all in one transaction with the findings recomputed at its end.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledger/catalogue/catalogue_file.h"
#include "ledger/checks/checks.h"
#include "ledger/records/register_file.h"
#include "ledger/store/distinct_records.h"
#include "ledger/store/sqlite.h"
#include "ledger/win11/price_list.h"
#include "platform/codepage.h"

namespace th::ledger {

struct ImportRequest {
  std::vector<std::string> inputs;  // files and folders, UTF-8
  std::vector<std::filesystem::path> excluded;  // folders never read (the exports')
  std::vector<std::string> forget;  // numbers whose collections are removed
  std::optional<RegisterList> registerList;
  std::optional<Catalogue> catalogue;  // replaces the one held before
  std::optional<PriceList> prices;     // the Windows 11 plan's; replaces the one held before
  CheckOptions checks;
  std::string startedAt;  // local 'YYYY-MM-DD HH:MM:SS'
  // When set, every collection taken is kept here too, its records as read.
  TakenRecords* keep = nullptr;
  // Called after each file with the count done and the total.
  std::function<void(std::size_t, std::size_t)> progress;
};

struct Rejection {
  std::string path;
  std::string reason;
};

struct ImportResult {
  int filesRead = 0;    // files met in this run
  int alreadyRead = 0;  // of them, read by an earlier run (same content)
  int taken = 0;
  int newPcs = 0;
  int updatedPcs = 0;
  int pcs = 0;  // PCs in the database afterwards
  int findings = 0;
  int gone = 0;       // files found missing in this run
  int forgotten = 0;  // collections removed by `forget`
  // This run's, the earlier ones met again and the paths that could not be read.
  std::vector<Rejection> rejected;
};

ImportResult Import(Database& db, platform::CodePage& codePage, const ImportRequest& request);

}  // namespace th::ledger

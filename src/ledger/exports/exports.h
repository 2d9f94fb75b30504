#pragma once
// The spreadsheet exports: one CSV file per export table (export_tables.h).
#include <filesystem>
#include <string>
#include <string_view>

#include "ledger/store/sqlite.h"
#include "platform/codepage.h"

namespace th::ledger {

enum class ExportEncoding { Utf8Bom, Cp932 };

// One CSV field: a value a spreadsheet would run as a formula gets a leading
// "'"; a field holding a comma, quote or line break is quoted.
std::string CsvField(std::string_view value);

// Writes the files into `dir` (created when missing); throws
// std::runtime_error when a file cannot be written.
void WriteExports(Database& db, const std::filesystem::path& dir, ExportEncoding encoding,
                  platform::CodePage& codePage);

}  // namespace th::ledger

#pragma once
// The register: the management numbers the administrator expects, one per
// line of a CSV or text file, with optional further columns (department...).
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/codepage.h"

namespace th::ledger {

struct RegisterList {
  std::vector<std::string> columns;  // the further columns' names
  struct Row {
    std::string number;
    std::vector<std::string> extra;
  };
  std::vector<Row> rows;
  // What was not read as a PC, by line of the file (from 1): the lines above
  // the headings (a title), and the lines below them whose first field is no
  // management number (a total, a note), with that field.
  std::vector<int> skippedAbove = {};
  std::vector<std::pair<int, std::string>> notNumbers = {};
};

// Splits one CSV line: fields separated by `separator`, optionally in double
// quotes with "" for a quote inside; blanks around unquoted fields removed.
std::vector<std::string> SplitCsvLine(std::string_view line, char separator = ',');

// The text of a file the administrator keeps: UTF-8 (with or without BOM),
// UTF-16LE with its BOM (Excel's "Unicode text") or code page 932, as UTF-8.
std::string DecodeText(std::string_view bytes, platform::CodePage& codePage);

// Reads a register from its bytes (any encoding DecodeText reads), fields
// separated by commas or TABs. The headings are the first line whose first
// field names the number column (管理番号, 資産番号, Number...), else the
// first line when its first field is no management number; the lines above
// them are a title, skipped. Below them, a line whose first field is no
// management number (合計, ※...) is no PC. Numbers are folded (text_fold.h)
// to lower case, as the client writes them.
RegisterList ParseRegister(std::string_view bytes, platform::CodePage& codePage);

// The console's lines on what the register's reading skipped, each once.
std::vector<std::string> RegisterNotes(const RegisterList& list);

}  // namespace th::ledger

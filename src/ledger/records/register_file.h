#pragma once
// The register: the management numbers the administrator expects, one per
// line of a CSV or text file, with optional further columns (department...).
#include <string>
#include <string_view>
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
  int validNumbers = 0;  // rows whose number has the management number's shape
};

// Splits one CSV line: fields separated by `separator`, optionally in double
// quotes with "" for a quote inside; blanks around unquoted fields removed.
std::vector<std::string> SplitCsvLine(std::string_view line, char separator = ',');

// The text of a file the administrator keeps: UTF-8 (with or without BOM) or
// code page 932, as UTF-8.
std::string DecodeText(std::string_view bytes, platform::CodePage& codePage);

// Reads a register from its bytes: UTF-8 (with or without BOM) or code page
// 932, fields separated by commas or TABs. A first line whose first field is
// not a management number is the header naming the columns. Numbers are
// folded (text_fold.h) to lower case, as the client writes them.
RegisterList ParseRegister(std::string_view bytes, platform::CodePage& codePage);

}  // namespace th::ledger

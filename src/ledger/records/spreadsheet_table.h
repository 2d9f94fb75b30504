#pragma once
// A table the administrator keeps in a spreadsheet and saves as text (the
// catalogue, the price list): the first non-blank line names the columns,
// fields separated by commas or, when that line holds a TAB, by TABs.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace th::ledger {

struct SpreadsheetTable {
  std::vector<std::string> header;
  struct Line {
    int number;  // in the file, the first line is 1
    std::vector<std::string> fields;
  };
  std::vector<Line> lines;  // after the header, blank ones left out

  // The column named `japanese` or, any case, `english`.
  std::optional<std::size_t> column(std::string_view japanese, std::string_view english) const;
};

// Any encoding DecodeText reads. Nothing when no line holds a value.
std::optional<SpreadsheetTable> ReadSpreadsheetTable(std::string_view bytes, platform::CodePage& codePage);

}  // namespace th::ledger

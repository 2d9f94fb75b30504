#include "ledger/records/spreadsheet_table.h"

#include "ledger/records/register_file.h"
#include "ledger/text/ascii_lower.h"
#include "ledger/text/line_split.h"

namespace th::ledger {

namespace {

bool Blank(std::string_view line) { return line.find_first_not_of(" \t,") == std::string_view::npos; }

}  // namespace

std::optional<std::size_t> SpreadsheetTable::column(std::string_view japanese, std::string_view english) const {
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (header[i] == japanese || AsciiLower(header[i]) == english) return i;
  }
  return std::nullopt;
}

std::optional<SpreadsheetTable> ReadSpreadsheetTable(std::string_view bytes, platform::CodePage& codePage) {
  const std::string text = DecodeText(bytes, codePage);
  std::optional<SpreadsheetTable> table;
  char separator = ',';
  int number = 0;
  ForEachLine(text, [&](std::string_view line) {
    ++number;
    if (!table) {
      if (Blank(line)) return;
      separator = line.find('\t') != std::string_view::npos ? '\t' : ',';
      table.emplace();
      table->header = SplitCsvLine(line, separator);
      return;
    }
    std::vector<std::string> fields = SplitCsvLine(line, separator);
    bool blank = true;
    for (const std::string& f : fields) blank = blank && f.empty();
    if (!blank) table->lines.push_back({number, std::move(fields)});
  });
  return table;
}

}  // namespace th::ledger

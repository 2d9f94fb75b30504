#pragma once
// The values a spreadsheet cell holds as a number or a date rather than as
// text: the shapes the store writes and the ones a register typed in a
// spreadsheet comes with.
#include <optional>
#include <string_view>

namespace th::ledger {

// "128000", "128,000" (groups of three), "-3", "\\148,500" (yen): a whole
// number with few enough digits for a spreadsheet to keep every one
// (SpreadsheetAmount). A leading zero ("000123") makes it an identifier, not
// a number.
std::optional<double> ReadWholeNumber(std::string_view s);

// "7.9", "512", "0.5": digits with at most one decimal point between digits.
std::optional<double> ReadDecimal(std::string_view s);

struct CellDateTime {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  bool withTime = false;
};

// "2021-04-01", "2021/4/1", optionally followed by " 9:05" or " 09:05:07", or
// a day alone in any form SpreadsheetDate reads (令和3年4月1日, R3.4.1): a
// real day after 1900 (a spreadsheet's calendar is wrong before March 1900).
std::optional<CellDateTime> ReadDateTime(std::string_view s);

}  // namespace th::ledger

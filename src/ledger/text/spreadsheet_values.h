#pragma once
// Counts and days as a spreadsheet saves them into a CSV file: Japanese
// Excel writes a cell as it shows it, so the text depends on the cell's
// format, not only on its value.
#include <optional>
#include <string>
#include <string_view>

namespace th::ledger {

// Digits alone ("1234") or grouped by thousands separators ("1,234": one to
// three digits before the first, three after each); at most `maxDigits`
// digits. Nothing for any other text.
std::optional<long long> GroupedDigits(std::string_view text, std::size_t maxDigits);

// A whole amount as a spreadsheet shows a number or a currency in yen:
// "148500", "148,500", "\\148,500" (code page 932's yen sign), "¥148,500",
// "￥148,500", "148,500円", a minus before the number or the sign; full-width
// digits too; at most `maxDigits` digits. Nothing for any other text, a
// decimal part, or a leading zero ("000123" is an identifier, not a number).
std::optional<long long> SpreadsheetAmount(std::string_view text, std::size_t maxDigits);

// A whole count: "1000", "1,000" (thousands separators), "1000.00" (shown
// with decimals), full-width digits too. Nothing for any other text, a
// negative count or one over twelve digits.
std::optional<long long> SpreadsheetCount(std::string_view text);

// 'YYYY-MM-DD' from a day written 2025/10/14, 2025-10-14, 2025.10.14,
// 2025年10月14日 or in the Japanese eras (令和7年10月14日, 令和元年5月1日,
// R7.10.14, H31/4/30), optionally followed by a time ("2025/10/14 0:00");
// full-width digits too. Nothing for any other text, a year before 1900 or a
// day the calendar lacks.
std::optional<std::string> SpreadsheetDate(std::string_view text);

}  // namespace th::ledger

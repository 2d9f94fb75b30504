#include "ledger/exports/cell_values.h"

#include <charconv>

#include "ledger/text/local_time.h"
#include "ledger/text/spreadsheet_values.h"

namespace th::ledger {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1 to `most` digits at `at`; false when there are none or more.
bool Number(std::string_view s, std::size_t& at, std::size_t most, int& out) {
  const std::size_t from = at;
  out = 0;
  while (at < s.size() && IsDigit(s[at]) && at - from < most + 1) out = out * 10 + (s[at++] - '0');
  return at > from && at - from <= most;
}

}  // namespace

std::optional<double> ReadWholeNumber(std::string_view s) {
  const auto v = SpreadsheetAmount(s, 15);
  if (!v) return std::nullopt;
  return static_cast<double>(*v);
}

std::optional<double> ReadDecimal(std::string_view s) {
  const std::size_t point = s.find('.');
  const std::string_view whole = s.substr(0, point), fraction = point == s.npos ? "" : s.substr(point + 1);
  const auto digits = [](std::string_view d) {
    return !d.empty() && d.size() <= 12 && d.find_first_not_of("0123456789") == d.npos;
  };
  if (!digits(whole) || (point != s.npos && !digits(fraction))) return std::nullopt;
  double value = 0;
  std::from_chars(s.data(), s.data() + s.size(), value);  // the digits checked above
  return value;
}

std::optional<CellDateTime> ReadDateTime(std::string_view s) {
  CellDateTime t;
  std::size_t at = 0;
  if (s.find(' ') == std::string_view::npos) {  // a day in any form the catalogue reads (令和3年4月1日)
    if (const auto day = SpreadsheetDate(s)) {
      const std::string_view d = *day;  // YYYY-MM-DD
      if (!Number(d, at, 4, t.y) || !Number(d, ++at, 2, t.mo) || !Number(d, ++at, 2, t.d)) return std::nullopt;
      return t.y < 1901 ? std::nullopt : std::optional(t);
    }
  }
  if (!Number(s, at, 4, t.y) || at != 4 || at >= s.size() || (s[at] != '-' && s[at] != '/')) return std::nullopt;
  const char sep = s[at++];
  if (!Number(s, at, 2, t.mo) || at >= s.size() || s[at++] != sep || !Number(s, at, 2, t.d)) return std::nullopt;
  if (at < s.size()) {
    t.withTime = true;
    if (s[at++] != ' ' || !Number(s, at, 2, t.h) || at >= s.size() || s[at++] != ':') return std::nullopt;
    const std::size_t minute = at;
    if (!Number(s, at, 2, t.mi) || at - minute != 2) return std::nullopt;
    if (at < s.size()) {
      const std::size_t second = ++at;
      if (s[second - 1] != ':' || !Number(s, at, 2, t.s) || at - second != 2) return std::nullopt;
    }
    if (at != s.size()) return std::nullopt;
  }
  if (t.y < 1901 || !IsRealDay(t.y, t.mo, t.d) || t.h > 23 || t.mi > 59 || t.s > 59) return std::nullopt;
  return t;
}

}  // namespace th::ledger

#include "ledger/text/spreadsheet_values.h"

#include <cstdio>

#include "ledger/text/local_time.h"
#include "ledger/text/text_fold.h"

namespace th::ledger {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// `min` to `max` digits taken from the front of `s`; -1 when there are not.
long long TakeNumber(std::string_view& s, std::size_t min, std::size_t max) {
  std::size_t n = 0;
  long long value = 0;
  for (; n < s.size() && IsDigit(s[n]); ++n) {
    if (n < max) value = value * 10 + (s[n] - '0');  // a longer run is refused below, not overflowed
  }
  if (n < min || n > max) return -1;
  s.remove_prefix(n);
  return value;
}

bool Take(std::string_view& s, std::string_view word) {
  if (s.substr(0, word.size()) != word) return false;
  s.remove_prefix(word.size());
  return true;
}

struct Era {
  std::string_view name;
  char letter;
  int yearBefore;  // the Gregorian year before its first
};
constexpr Era kEras[] = {{"令和", 'R', 2018}, {"平成", 'H', 1988}, {"昭和", 'S', 1925}, {"大正", 'T', 1911}, {"明治", 'M', 1867}};

// The era the day is written in, taken from the front of `s`: its name, or
// its letter (either case) before the year.
const Era* TakeEra(std::string_view& s) {
  for (const Era& e : kEras) {
    if (Take(s, e.name)) return &e;
    const bool letter = !s.empty() && (s[0] == e.letter || s[0] == e.letter + ('a' - 'A'));
    if (letter && s.size() > 1 && (IsDigit(s[1]) || s.substr(1, 3) == "元")) {
      s.remove_prefix(1);
      return &e;
    }
  }
  return nullptr;
}

}  // namespace

std::optional<long long> GroupedDigits(std::string_view s, std::size_t maxDigits) {
  const bool grouped = s.find(',') != std::string_view::npos;
  const std::size_t length = s.size();
  long long value = TakeNumber(s, 1, grouped ? 3 : maxDigits);
  std::size_t digits = length - s.size();
  while (value >= 0 && Take(s, ",")) {
    const long long group = TakeNumber(s, 3, 3);
    digits += 3;
    value = group < 0 || digits > maxDigits ? -1 : value * 1000 + group;
  }
  if (value < 0 || !s.empty()) return std::nullopt;
  return value;
}

std::optional<long long> SpreadsheetAmount(std::string_view text, std::size_t maxDigits) {
  const std::string folded = FoldName(text);
  std::string_view s = folded;
  bool negative = Take(s, "-");
  const bool yen = Take(s, "\\") || Take(s, "¥") || Take(s, "￥");
  if (yen && !negative) negative = Take(s, "-");
  if (!yen && s.size() > 3 && s.substr(s.size() - 3) == "円") s.remove_suffix(3);
  if (s.size() > 1 && s[0] == '0') return std::nullopt;
  const auto value = GroupedDigits(s, maxDigits);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

std::optional<long long> SpreadsheetCount(std::string_view text) {
  const std::string folded = FoldName(text);
  std::string_view s = folded;
  if (const std::size_t point = s.find('.'); point != std::string_view::npos) {
    if (point + 1 == s.size() || s.find_first_not_of('0', point + 1) != std::string_view::npos) return std::nullopt;
    s = s.substr(0, point);
  }
  return GroupedDigits(s, 12);
}

std::optional<std::string> SpreadsheetDate(std::string_view text) {
  const std::string folded = FoldName(text);
  std::string_view s = folded;
  if (const std::size_t blank = s.find(' '); blank != std::string_view::npos) {  // a time of day after it
    const std::string_view time = s.substr(blank + 1);
    if (time.find(':') == std::string_view::npos || time.find_first_not_of("0123456789:") != std::string_view::npos) {
      return std::nullopt;
    }
    s = s.substr(0, blank);
  }
  const Era* era = TakeEra(s);
  const long long year = era && Take(s, "元") ? 1 : era ? TakeNumber(s, 1, 2) : TakeNumber(s, 4, 4);
  const bool kanji = Take(s, "年");
  const std::string_view separator = kanji ? "月" : s.substr(0, 1);
  if (year < 0 || (!kanji && separator.find_first_of("/-.") != 0) || (!kanji && !Take(s, separator))) return std::nullopt;
  const long long month = TakeNumber(s, 1, 2);
  if (month < 0 || !Take(s, separator)) return std::nullopt;
  const long long day = TakeNumber(s, 1, 2);
  if (day < 0 || (kanji && !Take(s, "日")) || !s.empty()) return std::nullopt;
  const int y = static_cast<int>(era ? era->yearBefore + year : year);
  if (y < 1900 || !IsRealDay(y, static_cast<int>(month), static_cast<int>(day))) return std::nullopt;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, static_cast<int>(month), static_cast<int>(day));
  return std::string(buf);
}

}  // namespace th::ledger

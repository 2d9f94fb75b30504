#include "ledger/checks/end_of_support.h"

#include <vector>

namespace th::ledger {

namespace {

// The caption's words, ASCII lower-cased.
std::vector<std::string> Words(std::string_view caption) {
  std::vector<std::string> words;
  std::string word;
  for (char c : caption) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool Has(const std::vector<std::string>& words, std::string_view w) {
  for (const std::string& x : words) {
    if (x == w) return true;
  }
  return false;
}

// Long-term servicing releases by year: the Enterprise date, then IoT's.
struct LongTerm {
  const char* release;
  const char* enterprise;
  const char* iot;
};
constexpr LongTerm kWindows10LongTerm[] = {{"2015", "2025-10-14", "2025-10-14"},
                                           {"2016", "2026-10-13", "2026-10-13"},
                                           {"2019", "2029-01-09", "2029-01-09"},
                                           {"2021", "2027-01-12", "2032-01-13"}};
constexpr LongTerm kWindows11LongTerm[] = {{"2024", "2029-10-09", "2034-10-10"}};

template <std::size_t N>
std::optional<std::string> LongTermDate(const std::vector<std::string>& words, const LongTerm (&table)[N]) {
  for (const LongTerm& t : table) {
    if (Has(words, t.release)) return Has(words, "iot") ? t.iot : t.enterprise;
  }
  return std::nullopt;  // a release this table does not know
}

}  // namespace

std::optional<std::string> WindowsEndOfSupport(std::string_view caption) {
  const std::vector<std::string> words = Words(caption);
  std::size_t at = 0;
  while (at < words.size() && words[at] != "windows") ++at;
  // Embedded editions and servers follow lifecycles of their own.
  if (at + 1 >= words.size() || Has(words, "embedded") || Has(words, "server")) return std::nullopt;
  const std::string& release = words[at + 1];
  const bool longTerm = Has(words, "ltsc") || Has(words, "ltsb");
  if (release == "xp") return "2014-04-08";
  if (release == "vista") return "2017-04-11";
  if (release == "7") return "2020-01-14";
  if (release == "8") return "2016-01-12";
  if (release == "8.1") return "2023-01-10";
  if (release == "10") return longTerm ? LongTermDate(words, kWindows10LongTerm) : "2025-10-14";
  if (release == "11" && longTerm) return LongTermDate(words, kWindows11LongTerm);
  return std::nullopt;
}

}  // namespace th::ledger

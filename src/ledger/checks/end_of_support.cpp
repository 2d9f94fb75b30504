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

// Windows 11's feature versions: Home and Pro, then Enterprise and Education.
struct FeatureVersion {
  const char* version;
  const char* homePro;
  const char* enterprise;
};
constexpr FeatureVersion kWindows11Versions[] = {{"21h2", "2023-10-10", "2024-10-08"},
                                                 {"22h2", "2024-10-08", "2025-10-14"},
                                                 {"23h2", "2025-11-11", "2026-11-10"},
                                                 {"24h2", "2026-10-13", "2027-10-12"},
                                                 {"25h2", "2027-10-12", "2028-10-10"}};

constexpr const char* kPlainDates[] = {"2014-04-08", "2017-04-11", "2020-01-14", "2016-01-12", "2023-01-10",
                                       "2025-10-14"};

template <std::size_t N>
std::optional<std::string> LongTermDate(const std::vector<std::string>& words, const LongTerm (&table)[N]) {
  for (const LongTerm& t : table) {
    if (Has(words, t.release)) return Has(words, "iot") ? t.iot : t.enterprise;
  }
  return std::nullopt;  // a release this table does not know
}

}  // namespace

std::optional<std::string> WindowsEndOfSupport(std::string_view caption, std::string_view featureVersion) {
  const std::vector<std::string> words = Words(caption);
  std::size_t at = 0;
  while (at < words.size() && words[at] != "windows") ++at;
  // Embedded editions and servers follow lifecycles of their own.
  if (at + 1 >= words.size() || Has(words, "embedded") || Has(words, "server")) return std::nullopt;
  const std::string& release = words[at + 1];
  const bool longTerm = Has(words, "ltsc") || Has(words, "ltsb");
  if (release == "xp") return kPlainDates[0];
  if (release == "vista") return kPlainDates[1];
  if (release == "7") return kPlainDates[2];
  if (release == "8") return kPlainDates[3];
  if (release == "8.1") return kPlainDates[4];
  if (release == "10") return longTerm ? LongTermDate(words, kWindows10LongTerm) : kPlainDates[5];
  if (release == "11" && longTerm) return LongTermDate(words, kWindows11LongTerm);
  if (release == "11") {
    const std::vector<std::string> version = Words(featureVersion);
    const bool enterprise = !Has(words, "pro") && (Has(words, "enterprise") || Has(words, "education"));
    for (const FeatureVersion& v : kWindows11Versions) {
      if (version.size() == 1 && version[0] == v.version) return enterprise ? v.enterprise : v.homePro;
    }
  }
  return std::nullopt;
}

std::vector<std::string> WindowsEndOfSupportDates() {
  std::vector<std::string> dates(std::begin(kPlainDates), std::end(kPlainDates));
  for (const LongTerm& t : kWindows10LongTerm) dates.insert(dates.end(), {t.enterprise, t.iot});
  for (const LongTerm& t : kWindows11LongTerm) dates.insert(dates.end(), {t.enterprise, t.iot});
  for (const FeatureVersion& v : kWindows11Versions) dates.insert(dates.end(), {v.homePro, v.enterprise});
  return dates;
}

}  // namespace th::ledger

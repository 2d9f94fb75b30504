#include "ledger/records/record_file_name.h"

#include <string>

namespace th::ledger {

// "abc-05-0012.csv", or a copy moved aside under the number and a suffix:
// "abc-05-0012 (前回 2026-12-01 PC-ALPHA).csv".
bool NameMatchesKey(std::string_view name, std::string_view key) {
  if (name.size() < 4) return false;
  std::string ext(name.substr(name.size() - 4));
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (ext != ".csv") return false;
  const std::string_view stem = name.substr(0, name.size() - 4);
  if (stem.substr(0, key.size()) != key) return false;
  const std::string_view suffix = stem.substr(key.size());
  return suffix.empty() || suffix.front() == ' ' || suffix.front() == '(' || suffix.substr(0, 3) == "（";
}

}  // namespace th::ledger

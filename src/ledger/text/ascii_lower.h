#pragma once
// ASCII letters in lower case, every other byte as it is: for keywords and
// column names compared regardless of case (names people type use FoldKey).
#include <string>
#include <string_view>

namespace th::ledger {

inline std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

}  // namespace th::ledger

#pragma once
// Splitting text into lines ending in LF or CR LF, the one rule the record
// files and the register share.
#include <string_view>

namespace th::ledger {

// The next line of `rest` without its line end; `rest` moves past it.
inline std::string_view NextLine(std::string_view& rest) {
  const std::size_t lf = rest.find('\n');
  std::string_view line = rest.substr(0, lf);
  rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Calls `each` with every line of `text`.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  while (!text.empty()) each(NextLine(text));
}

}  // namespace th::ledger

#pragma once
// Whether a record file's name belongs to the management number it holds.
#include <string_view>

namespace th::ledger {

// The file's name is its Key with ".csv", or the Key and a suffix (a copy
// moved aside when another PC reported the same number).
bool NameMatchesKey(std::string_view name, std::string_view key);

}  // namespace th::ledger

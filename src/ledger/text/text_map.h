#pragma once
// A map keyed by text that is looked up with a string_view, without making a
// string for every lookup (the import and the report look up millions).
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace th::ledger {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Node-based: a key's address stays put while it is in the map.
template <class Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

}  // namespace th::ledger

#pragma once
// Interns texts so that the report's data names each distinct text once and
// refers to it by index: thousands of PCs share most of their values.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace th::ledger {

class StringTable {
 public:
  int Intern(std::string_view text) {
    if (auto it = index_.find(text); it != index_.end()) return it->second;
    auto it = index_.emplace(std::string(text), static_cast<int>(texts_.size())).first;
    texts_.push_back(&it->first);
    return it->second;
  }
  const std::vector<const std::string*>& Texts() const { return texts_; }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  // Node-based, so the pointers in texts_ stay valid; looked up without a copy.
  std::unordered_map<std::string, int, Hash, std::equal_to<>> index_;
  std::vector<const std::string*> texts_;
};

}  // namespace th::ledger

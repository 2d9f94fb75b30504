#pragma once
// Interns texts so that the report's data names each distinct text once and
// refers to it by index: thousands of PCs share most of their values.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace th::ledger {

class StringTable {
 public:
  int Intern(std::string_view text) {
    auto [it, added] = index_.try_emplace(std::string(text), static_cast<int>(texts_.size()));
    if (added) texts_.push_back(&it->first);
    return it->second;
  }
  const std::vector<const std::string*>& Texts() const { return texts_; }

 private:
  std::unordered_map<std::string, int> index_;  // node-based: the pointers stay valid
  std::vector<const std::string*> texts_;
};

}  // namespace th::ledger

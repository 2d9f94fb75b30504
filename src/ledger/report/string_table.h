#pragma once
// Interns texts so that the report's data names each distinct text once and
// refers to it by index: thousands of PCs share most of their values.
#include <string>
#include <string_view>
#include <vector>

#include "ledger/text/text_map.h"

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
  TextMap<int> index_;  // its keys are what texts_ points at
  std::vector<const std::string*> texts_;
};

}  // namespace th::ledger

#include "ledger/store/distinct_records.h"

namespace th::ledger {

int DistinctRecords::InternText(std::string_view text) {
  if (auto it = textIndex_.find(text); it != textIndex_.end()) return it->second;
  auto it = textIndex_.emplace(std::string(text), static_cast<int>(texts_.size())).first;
  texts_.push_back(&it->first);
  return it->second;
}

int DistinctRecords::Intern(const Fields5& f) {
  key_.clear();
  for (std::string_view v : f) {
    key_ += v;
    key_ += '\x1f';  // the unit separator: no record field holds it
  }
  // The records most PCs share are found in a small table that stays in the
  // processor's cache; the index of every record, millions of them in a
  // large ledger, is looked into only when that misses.
  const std::size_t hash = TextHash{}(key_);
  Recent& recent = recent_[hash % recent_.size()];
  if (recent.key && recent.hash == hash && *recent.key == key_) return recent.id;
  auto it = index_.find(std::string_view(key_));
  if (it == index_.end()) {
    const int id = Count();
    for (std::string_view v : f) fields_.push_back(InternText(v));
    it = index_.emplace(key_, id).first;
  }
  recent = {hash, &it->first, it->second};
  return it->second;
}

Record DistinctRecords::Get(int id) const {
  return {Text(FieldText(id, 0)), Text(FieldText(id, 1)), Text(FieldText(id, 2)), Text(FieldText(id, 3)),
          Text(FieldText(id, 4))};
}

void DistinctRecords::CloseIndex() {
  TextMap<int>().swap(index_);
  recent_.assign(recent_.size(), Recent{});
}

}  // namespace th::ledger

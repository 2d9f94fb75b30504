#include "ledger/store/distinct_records.h"

#include <stdexcept>

namespace th::ledger {

int DistinctRecords::InternText(std::string_view text) {
  if (auto it = textIndex_.find(text); it != textIndex_.end()) return it->second;
  auto it = textIndex_.emplace(std::string(text), static_cast<int>(texts_.size())).first;
  texts_.push_back(&it->first);
  return it->second;
}

bool DistinctRecords::Is(int id, const Fields5& f) const {
  for (int k = 0; k < 5; ++k)
    if (Text(FieldText(id, k)) != f[static_cast<std::size_t>(k)]) return false;
  return true;
}

int DistinctRecords::Intern(const Fields5& f) {
  if (hashes_.size() != fields_.size() / 5) throw std::logic_error("records interned after their index was closed");
  key_.clear();
  for (std::string_view v : f) {
    key_ += v;
    key_ += '\x1f';  // the unit separator: no record field holds it
  }
  const std::size_t hash = TextHash{}(key_);
  int& recent = recent_[hash % recent_.size()];
  if (recent >= 0 && hashes_[static_cast<std::size_t>(recent)] == hash && Is(recent, f)) return recent;
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  for (; slots_[at] != 0; at = (at + 1) & mask) {
    const int id = static_cast<int>(slots_[at] - 1);
    if (hashes_[static_cast<std::size_t>(id)] == hash && Is(id, f)) return recent = id;
  }
  const int id = Count();
  // A new record mostly shares all but its value with the one before (the
  // same group, item, Unit): those texts are not looked up again.
  for (std::size_t k = 0; k < 5; ++k) {
    int& last = lastText_[k];
    if (last < 0 || Text(last) != f[k]) last = InternText(f[k]);
    fields_.push_back(last);
  }
  hashes_.push_back(hash);
  slots_[at] = static_cast<std::uint32_t>(id) + 1;
  if (hashes_.size() * 2 > slots_.size()) Grow();
  return recent = id;
}

void DistinctRecords::Grow() {
  std::vector<std::uint32_t> slots(slots_.size() * 2);
  const std::size_t mask = slots.size() - 1;
  for (std::size_t id = 0; id < hashes_.size(); ++id) {
    std::size_t at = hashes_[id] & mask;
    while (slots[at] != 0) at = (at + 1) & mask;
    slots[at] = static_cast<std::uint32_t>(id) + 1;
  }
  slots_.swap(slots);
}

Record DistinctRecords::Get(int id) const {
  return {Text(FieldText(id, 0)), Text(FieldText(id, 1)), Text(FieldText(id, 2)), Text(FieldText(id, 3)),
          Text(FieldText(id, 4))};
}

void DistinctRecords::CloseIndex() {
  std::vector<std::uint32_t>(1 << 10).swap(slots_);
  std::vector<std::size_t>().swap(hashes_);
  recent_.assign(recent_.size(), -1);
}

}  // namespace th::ledger

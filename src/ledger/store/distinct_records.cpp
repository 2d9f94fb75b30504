#include "ledger/store/distinct_records.h"

#include <stdexcept>

namespace th::ledger {

int HashedNumbers::Add(std::size_t hash) {
  hashes_.push_back(hash);
  if (hashes_.size() * 2 > slots_.size()) {
    std::vector<std::uint32_t> slots(slots_.size() * 2);
    for (std::size_t n = 0; n < hashes_.size(); ++n) Place(slots, n);
    slots_.swap(slots);
  } else {
    Place(slots_, hashes_.size() - 1);
  }
  return Count() - 1;
}

void HashedNumbers::Place(std::vector<std::uint32_t>& slots, std::size_t n) const {
  const std::size_t mask = slots.size() - 1;
  std::size_t at = hashes_[n] & mask;
  while (slots[at] != 0) at = (at + 1) & mask;
  slots[at] = static_cast<std::uint32_t>(n) + 1;
}

void HashedNumbers::Clear() {
  std::vector<std::uint32_t>(1 << 10).swap(slots_);
  std::vector<std::size_t>().swap(hashes_);
}

int DistinctRecords::InternText(std::string_view text) {
  if (textIndex_.Count() != TextCount()) throw std::logic_error("texts interned after their index was closed");
  const std::size_t hash = TextHash{}(text);
  const int found = textIndex_.Find(hash, [&](int n) { return Text(n) == text; });
  if (found >= 0) return found;
  texts_.push_back(&store_.emplace_back(text));
  return textIndex_.Add(hash);
}

bool DistinctRecords::Is(int id, const Fields5& f) const {
  for (int k = 0; k < 5; ++k)
    if (Text(FieldText(id, k)) != f[static_cast<std::size_t>(k)]) return false;
  return true;
}

int DistinctRecords::Intern(const Fields5& f) {
  if (index_.Count() != Count()) throw std::logic_error("records interned after their index was closed");
  key_.clear();
  for (std::string_view v : f) {
    key_ += v;
    key_ += '\x1f';  // the unit separator: no record field holds it
  }
  const std::size_t hash = TextHash{}(key_);
  int& recent = recent_[hash % recent_.size()];
  if (recent >= 0 && index_.Hash(recent) == hash && Is(recent, f)) return recent;
  const int found = index_.Find(hash, [&](int id) { return Is(id, f); });
  if (found >= 0) return recent = found;
  // A new record mostly shares all but its value with the one before (the
  // same group, item, Unit): those texts are not looked up again.
  for (std::size_t k = 0; k < 5; ++k) {
    int& last = lastText_[k];
    if (last < 0 || Text(last) != f[k]) last = InternText(f[k]);
    fields_.push_back(last);
  }
  return recent = index_.Add(hash);
}

Record DistinctRecords::Get(int id) const {
  return {Text(FieldText(id, 0)), Text(FieldText(id, 1)), Text(FieldText(id, 2)), Text(FieldText(id, 3)),
          Text(FieldText(id, 4))};
}

void DistinctRecords::CloseIndex() {
  index_.Clear();
  textIndex_.Clear();
  recent_.assign(recent_.size(), -1);
}

}  // namespace th::ledger

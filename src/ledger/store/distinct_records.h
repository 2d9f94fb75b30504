#pragma once
// Records as numbers: each distinct record once, as five numbers of distinct
// texts. Most records recur across PCs (the same application, the same OS),
// so millions of rows name a few hundred thousand records. The import fills
// one with the records of the collections it takes, as it reads them; the
// report goes on with it, reading back only the collections it lacks.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ledger/records/record_diff.h"
#include "ledger/text/text_map.h"

namespace th::ledger {

// Numbers 0, 1, 2, ... found by their hashes: open addressing over the
// numbers (+1; 0 is free), each number's hash kept to skip the others and to
// grow. What a number stands for is the caller's, so the index holds nothing
// of it (for a large ledger's records and texts, that was most of their memory).
class HashedNumbers {
 public:
  // The number with this hash for which `is` holds, or -1.
  template <class Is>
  int Find(std::size_t hash, Is is) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask; slots_[at] != 0; at = (at + 1) & mask) {
      const std::uint32_t n = slots_[at] - 1;
      if (hashes_[n] == hash && is(static_cast<int>(n))) return static_cast<int>(n);
    }
    return -1;
  }
  std::size_t Hash(int n) const { return hashes_[static_cast<std::size_t>(n)]; }
  int Count() const { return static_cast<int>(hashes_.size()); }
  // Numbers the next one; returns its number.
  int Add(std::size_t hash);
  void Clear();

 private:
  void Place(std::vector<std::uint32_t>& slots, std::size_t n) const;
  std::vector<std::uint32_t> slots_ = std::vector<std::uint32_t>(1 << 10);
  std::vector<std::size_t> hashes_;
};

class DistinctRecords {
 public:
  using Fields5 = std::array<std::string_view, 5>;  // group, item, subitem, contents, Unit

  int Intern(const Fields5& f);
  int Intern(const Record& r) { return Intern(Fields5{r.grp, r.item, r.subitem, r.contents, r.unit}); }
  int InternText(std::string_view text);

  int Count() const { return static_cast<int>(fields_.size() / 5); }
  int FieldText(int id, int field) const { return fields_[static_cast<std::size_t>(id) * 5 + static_cast<std::size_t>(field)]; }
  const std::string& Text(int text) const { return *texts_[static_cast<std::size_t>(text)]; }
  int TextCount() const { return static_cast<int>(texts_.size()); }
  Record Get(int id) const;

  // Frees the index of records once no record is to be interned any more
  // (Intern and InternText then throw std::logic_error); the texts and
  // records stay.
  void CloseIndex();

 private:
  bool Is(int id, const Fields5& f) const;

  std::deque<std::string> store_;  // the texts, which stay put
  std::vector<const std::string*> texts_;
  HashedNumbers textIndex_;
  std::vector<int> fields_;
  HashedNumbers index_;  // of records, compared through their texts
  // The records most PCs share, by hash, in a table small enough to stay in
  // the processor's cache: -1, none.
  std::vector<int> recent_ = std::vector<int>(1 << 16, -1);
  std::string key_;
  std::array<int, 5> lastText_ = {-1, -1, -1, -1, -1};  // each field's in the last new record
};

// The records of the collections one import took, by collection id, each
// list in the order of the records' lines.
class TakenRecords {
 public:
  DistinctRecords records;

  // A collection's list, started afresh: an id SQLite hands out again names
  // another collection.
  std::vector<int>& Collection(std::int64_t id) {
    std::vector<int>& list = lists_[id];
    list.clear();
    return list;
  }
  // The list of a collection taken, or null.
  const std::vector<int>* Find(std::int64_t id) const {
    const auto it = lists_.find(id);
    return it == lists_.end() ? nullptr : &it->second;
  }
  // The list handed over and no longer held here.
  std::vector<int> Take(std::int64_t id) {
    const auto it = lists_.find(id);
    if (it == lists_.end()) return {};
    std::vector<int> list = std::move(it->second);
    lists_.erase(it);
    return list;
  }

 private:
  std::unordered_map<std::int64_t, std::vector<int>> lists_;
};

}  // namespace th::ledger

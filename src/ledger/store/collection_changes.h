#pragma once
// What changed on each PC that the last import brought a newer collection
// of: the rows of changes.csv.
#include <string>
#include <vector>

#include "ledger/records/record_diff.h"
#include "ledger/store/sqlite.h"

namespace th::ledger {

struct ChangeRow {
  std::string number;
  std::string category;  // ハードウェア, OS, ソフトウェア追加, ソフトウェア削除
  std::string item;      // "Group/Item/SubItem", or the application's name
  std::string before, now;
};

// For every PC whose current collection came with the last import that took
// a file, each difference against its previous collection, by number.
std::vector<ChangeRow> ChangesOfLastImport(Database& db);

// One collection's records, as a diff takes them: `s` selects Group, Item,
// SubItem, Contents and Unit for the collection bound as its parameter 1.
std::vector<Record> CollectionRecords(Statement& s, std::int64_t collection);

}  // namespace th::ledger

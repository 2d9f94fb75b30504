#include "ledger/store/collection_changes.h"

#include "ledger/records/record_diff.h"

namespace th::ledger {
namespace {

// Windows' build and edition, and its own upgrade verdict, change with the
// OS; the other Platform facts are the machine's and its firmware's.
const char* Category(const ValueChange& v) {
  const bool os = v.grp == "Soft" || (v.grp == "Platform" && (v.item == "OS" || v.item == "Appraiser"));
  return os ? "OS" : "ハードウェア";
}

}  // namespace

std::vector<Record> CollectionRecords(Statement& s, std::int64_t collection) {
  std::vector<Record> records;
  s.reset();
  s.bind(1, collection);
  while (s.step()) records.push_back({s.text(0), s.text(1), s.text(2), s.text(3), s.text(4)});
  return records;
}

std::vector<ChangeRow> ChangesOfLastImport(Database& db) {
  Statement pcs = db.prepare(
      "SELECT pc.number, pc.collection_id, pc.previous_id FROM previous_collections pc"
      " JOIN collections c ON c.id = pc.collection_id JOIN files f ON f.id = c.file_id"
      " WHERE pc.previous_id IS NOT NULL AND f.import_id ="
      "  (SELECT MAX(f2.import_id) FROM collections c2 JOIN files f2 ON f2.id = c2.file_id)"
      " ORDER BY pc.number");
  Statement records = db.prepare(
      "SELECT coalesce(grp, ''), coalesce(item, ''), coalesce(subitem, ''), coalesce(contents, ''),"
      " coalesce(unit, '') FROM records WHERE collection_id = ? ORDER BY line");
  std::vector<ChangeRow> rows;
  while (pcs.step()) {
    const std::string number = pcs.text(0);
    const std::vector<Record> now = CollectionRecords(records, pcs.integer(1));
    const CollectionDiff diff = DiffCollections(CollectionRecords(records, pcs.integer(2)), now);
    for (const ValueChange& v : diff.values) {
      rows.push_back({number, Category(v), v.grp + "/" + v.item + "/" + v.subitem, v.before, v.now});
    }
    for (const Record& r : diff.added) rows.push_back({number, "ソフトウェア追加", r.subitem, "", r.contents});
    for (const Record& r : diff.removed) rows.push_back({number, "ソフトウェア削除", r.subitem, r.contents, ""});
  }
  return rows;
}

}  // namespace th::ledger

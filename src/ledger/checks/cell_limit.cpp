#include "ledger/checks/cell_limit.h"

#include <string>

#include "ledger/records/collection_summary.h"

namespace th::ledger {

namespace {

// (number, file, where, value) of every value an export writes into one cell
// that could be too long. Records only of the collections the import marked.
constexpr const char* kValues = R"(
  WITH cur AS (SELECT p.number, f.name AS file, c.id, c.long_value, c.macs, c.ip_addresses
               FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id),
       marked AS (SELECT cur.number, cur.file, r.* FROM cur JOIN records r ON r.collection_id = cur.id
                  WHERE cur.long_value = 1),
       titled AS (SELECT f.*, k.title FROM findings f JOIN finding_kinds k USING(kind))
  SELECT number, file, line || ' 行目 ' || grp || '/' || item || ' の SubItem' AS place, subitem AS value FROM marked
  UNION ALL SELECT number, file, line || ' 行目 ' || grp || '/' || item || '/' || subitem || ' の Contents', contents
    FROM marked
  UNION ALL SELECT number, file, line || ' 行目 ' || grp || '/' || item || '/' || subitem || ' の Unit', unit FROM marked
  UNION ALL SELECT number, file, 'MACアドレス', macs FROM cur
  UNION ALL SELECT number, file, 'IPアドレス', ip_addresses FROM cur
  UNION ALL SELECT r.number, NULL, '台帳の ' || coalesce((SELECT json_extract(value, '$[' || j.key || ']') FROM meta
                   WHERE key = 'register_columns'), j.key), j.value
    FROM register r, json_each(r.extra) j WHERE length(r.extra) > ?1
  UNION ALL SELECT NULL, NULL, '検出事項「' || title || '」の詳細', detail FROM titled
  UNION ALL SELECT NULL, NULL, '検出事項「' || title || '」の管理番号',
                   (SELECT group_concat(number, ' ') FROM finding_numbers n WHERE n.finding_id = titled.id) FROM titled
  UNION ALL SELECT NULL, NULL, '検出事項「' || title || '」のファイル',
                   (SELECT group_concat(file, ' ') FROM finding_numbers n WHERE n.finding_id = titled.id) FROM titled)";

}  // namespace

void AddCellLimitFindings(Database& db) {
  Statement s = db.prepare(std::string("INSERT INTO findings(kind, number, file, detail)"
                                       " SELECT 'cell_too_long', v.number, v.file,"
                                       " v.place || ': ' || length(v.value) || ' 文字「' || substr(v.value, 1, 40) || '…」'"
                                       " FROM (") + kValues + ") v"
                                       " WHERE length(v.value) > ?1 ORDER BY v.number, v.file");
  s.bind(1, static_cast<std::int64_t>(kCellChars));
  s.run();
}

}  // namespace th::ledger

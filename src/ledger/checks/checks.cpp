#include "ledger/checks/checks.h"

#include <string>
#include <utility>
#include <vector>

#include "ledger/checks/catalogue_checks.h"
#include "ledger/checks/cell_limit.h"
#include "ledger/store/identifier_sql.h"
#include "ledger/store/same_pc_sql.h"

namespace th::ledger {

namespace {

// One statement per kind, each inserting its findings in a stable order.
// Identities compared across numbers are the current collections'; a number
// reported by two PCs is seen across its whole history. Files no longer
// found (gone_at) are left out everywhere.
constexpr const char* kChecksBeforeShared[] = {
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'rejected', NULL, name, rejected FROM files f
       WHERE rejected IS NOT NULL AND gone_at IS NULL
         AND NOT EXISTS (SELECT 1 FROM files later WHERE later.path = f.path AND later.id > f.id)
       UNION ALL SELECT 'rejected', NULL, path, reason FROM unread_paths
       ORDER BY 3)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'cut_short', p.number, f.name,
              CASE WHEN r.grp IS NULL THEN '最後の行が途中で切れています'
                   ELSE '最後の記録: ' || r.grp || '/' || r.item || '/' || r.subitem END
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       LEFT JOIN records r ON r.collection_id = c.id
            AND r.line = (SELECT MAX(line) FROM records WHERE collection_id = c.id)
            AND NOT (r.grp = '資産' AND r.item = '管理情報')
       WHERE c.complete = 0 ORDER BY p.number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'name_mismatch', c.number, f.name, 'ファイル名 ' || f.name || ' / Key ' || c.number
       FROM collections c JOIN files f ON f.id = c.file_id
       WHERE f.gone_at IS NULL AND NOT name_matches_key(f.name, c.number) ORDER BY c.number, c.id)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'bad_number', p.number, f.name, '管理番号 ' || p.number
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE NOT is_management_number(p.number) ORDER BY p.number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'no_software', p.number, f.name, 'ソフトウェアの記録が0件'
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE c.applications = 0 ORDER BY p.number)",
};

// One PC under several numbers: the same UUID, MAC address or computer name
// (case aside) in more than one current collection. One finding per shared
// value, its numbers in finding_numbers; placeholders left out.
constexpr const char* kShared =
    "WITH cur AS ("
    "  SELECT 1 AS k, 'same_uuid' AS kind, 'UUID ' AS label, " LEDGER_UUID_FORM("c.system_uuid") " AS v,"
    "         c.system_uuid AS shown, p.number, c.file_id"
    "  FROM pcs p JOIN collections c ON c.id = p.collection_id WHERE " LEDGER_REAL_UUID("c.system_uuid")
    "  UNION ALL"
    "  SELECT 2, 'same_mac', 'MAC ', " LEDGER_MAC_FORM("m.mac") ", m.mac, p.number, c.file_id"
    "  FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN collection_macs m ON m.collection_id = c.id"
    "  WHERE " LEDGER_REAL_MAC("m.mac")
    "  UNION ALL"
    "  SELECT 3, 'same_computer_name', 'コンピュータ名 ', upper(c.computer_name), c.computer_name, p.number, c.file_id"
    "  FROM pcs p JOIN collections c ON c.id = p.collection_id WHERE c.computer_name <> '')"
    " SELECT cur.k, cur.kind, cur.label, cur.v, cur.shown, cur.number, f.name"
    " FROM cur JOIN files f ON f.id = cur.file_id"
    " WHERE (cur.k, cur.v) IN (SELECT k, v FROM cur GROUP BY k, v HAVING COUNT(DISTINCT number) > 1)"
    " ORDER BY cur.k, cur.v, cur.number";

constexpr const char* kChecksAfterShared[] = {
    // A PC is its system UUID; two collections without one are compared by
    // computer name; one with and one without are not compared.
    "WITH ids AS (SELECT c.number, c.id, c.computer_name, c.collected_at, f.name,"
    "                    CASE WHEN " LEDGER_REAL_UUID("c.system_uuid") " THEN " LEDGER_UUID_FORM("c.system_uuid") " END AS uuid,"
    "                    CASE WHEN NOT " LEDGER_REAL_UUID("c.system_uuid") " AND c.computer_name <> ''"
    "                         THEN upper(c.computer_name) END AS name_only"
    "             FROM collections c JOIN files f ON f.id = c.file_id WHERE f.gone_at IS NULL),"
    "     two AS (SELECT number FROM ids GROUP BY number"
    "             HAVING COUNT(DISTINCT uuid) > 1 OR COUNT(DISTINCT name_only) > 1)"
    " INSERT INTO findings(kind, number, file, detail)"
    " SELECT 'two_pcs', number, group_concat(name, ' / '),"
    "        group_concat(computer_name || ' (' || COALESCE(collected_at, '?') || ')', ' / ')"
    " FROM (SELECT ids.* FROM ids JOIN two USING(number) ORDER BY ids.number, ids.collected_at, ids.id)"
    " GROUP BY number ORDER BY number",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'stale', p.number, f.name, '収集日時 ' || c.collected_at
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE ?1 IS NOT NULL AND substr(c.collected_at, 1, 10) < date(?2, '-' || ?1 || ' days')
       ORDER BY p.number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'not_reported', number, NULL, '台帳にあり、記録ファイルがない'
       FROM register WHERE number NOT IN (SELECT lower(number) FROM pcs) ORDER BY number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'not_in_register', p.number, f.name, '記録ファイルがあり、台帳にない'
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE EXISTS (SELECT 1 FROM register) AND lower(p.number) NOT IN (SELECT number FROM register)
       ORDER BY p.number)",
    // Never current: the date as the file wrote it, or as read.
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT c.date_problem, c.number, f.name, '収集日時 ' || COALESCE(c.collected_at,
              (SELECT subitem || ' ' || contents FROM records r WHERE r.collection_id = c.id
               AND r.grp = 'Create' AND r.item = 'DateTime' ORDER BY line LIMIT 1), c.renewalday, '')
       FROM collections c JOIN files f ON f.id = c.file_id
       WHERE c.date_problem IS NOT NULL AND f.gone_at IS NULL ORDER BY c.date_problem, c.number, f.path)",
    // Facts the GLPI export leaves out, or sends otherwise than the record
    // holds them: the older numbers of one PC, a PC without a name.
    "INSERT INTO findings(kind, number, file, detail)"
    " SELECT 'older_numbers', current_number, current_file,"
    "        'UUID ' || uuid || ': 古い管理番号 ' || group_concat(number, ' ') || '（GLPIにはこの番号だけを送る）'"
    " FROM (SELECT * FROM (" LEDGER_OLDER_NUMBERS ") ORDER BY number) GROUP BY uuid ORDER BY current_number",
    // Windows 11 where no updates are promised (the plan's own finding).
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'win11_unsupported', w.number, f.name, w.finding
       FROM win11_plan w JOIN pcs p ON p.number = w.number JOIN collections c ON c.id = p.collection_id
       JOIN files f ON f.id = c.file_id WHERE w.finding IS NOT NULL ORDER BY w.number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'no_computer_name', p.number, f.name, 'コンピュータ名が空（GLPIには管理番号を名前として送る）'
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE trim(COALESCE(c.computer_name, '')) = '' ORDER BY p.number)",
};

void Run(Database& db, const char* sql, const CheckOptions& options) {
  Statement s = db.prepare(sql);
  if (sqlite3_bind_parameter_count(s.get()) > 0) {
    if (options.staleDays) s.bind(1, std::int64_t{*options.staleDays});
    s.bind(2, options.today);
  }
  s.run();
}

void FindShared(Database& db) {
  Statement rows = db.prepare(kShared);
  Statement add = db.prepare("INSERT INTO findings(kind, number, file, detail) VALUES(?, NULL, NULL, ?)");
  Statement addNumber = db.prepare("INSERT OR IGNORE INTO finding_numbers(finding_id, number, file) VALUES(?,?,?)");
  struct Group {
    std::int64_t k = 0;
    std::string kind, v, detail;
    std::vector<std::pair<std::string, std::string>> numbers;  // number, file
  } g;
  const auto flush = [&] {
    if (g.numbers.empty()) return;
    add.bind(1, g.kind).bind(2, g.detail).run();
    const std::int64_t id = db.lastInsertId();
    for (const auto& [number, file] : g.numbers) addNumber.bind(1, id).bind(2, number).bind(3, file).run();
    g.numbers.clear();
  };
  while (rows.step()) {
    const std::int64_t k = rows.integer(0);
    std::string v = rows.text(3), number = rows.text(5);
    if (g.numbers.empty() || k != g.k || v != g.v) {
      flush();
      g.k = k;
      g.kind = rows.text(1);
      g.v = std::move(v);
      g.detail = rows.text(2) + rows.text(4) + ":";
    }
    if (g.numbers.empty() || g.numbers.back().first != number) {
      g.detail += " " + number;
      g.numbers.emplace_back(std::move(number), rows.text(6));
    }
  }
  flush();
}

}  // namespace

int RecomputeFindings(Database& db, const CheckOptions& options) {
  db.exec("DELETE FROM finding_numbers; DELETE FROM findings;");
  for (const char* sql : kChecksBeforeShared) Run(db, sql, options);
  FindShared(db);
  for (const char* sql : kChecksAfterShared) Run(db, sql, options);
  AddCatalogueFindings(db, options.today);
  AddCellLimitFindings(db);
  Statement count = db.prepare("SELECT COUNT(*) FROM findings");
  count.step();
  return static_cast<int>(count.integer(0));
}

}  // namespace th::ledger

#include "ledger/checks.h"

#include "forms/management_number.h"
#include "ledger/catalogue_checks.h"

namespace th::ledger {

namespace {

constexpr FindingKind kKinds[] = {
    {"rejected", "取り込めなかったファイル", "File not imported"},
    {"cut_short", "途中で切れた記録ファイル", "Record file cut short"},
    {"name_mismatch", "ファイル名と管理番号が異なる", "File name differs from its Key"},
    {"bad_number", "管理番号の形式が正しくない", "Management number of the wrong shape"},
    {"no_software", "ソフトウェアの記録がない", "No software record"},
    {"same_uuid", "同じシステムUUIDが複数の管理番号にある", "Same system UUID under two numbers"},
    {"same_mac", "同じMACアドレスが複数の管理番号にある", "Same MAC address under two numbers"},
    {"same_computer_name", "同じコンピュータ名が複数の管理番号にある", "Same computer name under two numbers"},
    {"two_pcs", "一つの管理番号を複数のPCが報告", "One number reported by two PCs"},
    {"stale", "古い収集", "Stale collection"},
    {"not_reported", "台帳にあるが未報告", "In the register, not reported"},
    {"not_in_register", "台帳にない管理番号", "Reported, not in the register"},
    {"licence_shortage", "ライセンス不足", "Fewer licences than installs"},
    {"forbidden_software", "禁止ソフトウェア", "Forbidden software"},
    {"required_missing", "必須ソフトウェアがない", "Required software missing"},
    {"end_of_support", "サポート終了", "Past end of support"},
    {"hardware_changed", "ハードウェアの変更", "Hardware changed"},
};

}  // namespace

// "abc-05-0012.csv", or a copy moved aside under the number and a suffix:
// "abc-05-0012 (前回 2026-12-01 PC-ALPHA).csv".
bool NameMatchesKey(std::string_view name, std::string_view key) {
  if (name.size() < 4) return false;
  std::string ext(name.substr(name.size() - 4));
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (ext != ".csv") return false;
  const std::string_view stem = name.substr(0, name.size() - 4);
  if (stem.substr(0, key.size()) != key) return false;
  const std::string_view suffix = stem.substr(key.size());
  return suffix.empty() || suffix.front() == ' ' || suffix.front() == '(' || suffix.substr(0, 3) == "（";
}

namespace {

std::string_view Arg(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

void SqlIsManagementNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_int(ctx, forms::IsManagementNumber(Arg(argv[0])) ? 1 : 0);
}

void SqlNameMatchesKey(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_int(ctx, NameMatchesKey(Arg(argv[0]), Arg(argv[1])) ? 1 : 0);
}

// One statement per kind, each inserting its findings in a stable order.
// Identities compared across numbers are the current collections'; a number
// reported by two PCs is seen across its whole history.
constexpr const char* kChecks[] = {
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'rejected', NULL, name, rejected FROM files WHERE rejected IS NOT NULL ORDER BY id)",
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
       WHERE NOT name_matches_key(f.name, c.number) ORDER BY c.number, c.id)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'bad_number', p.number, f.name, '管理番号 ' || p.number
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE NOT is_management_number(p.number) ORDER BY p.number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'no_software', p.number, f.name, 'ソフトウェアの記録が0件'
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE c.applications = 0 ORDER BY p.number)",
    // One PC under several numbers: the same UUID, MAC address or computer
    // name (case aside) in more than one current collection.
    R"(WITH cur AS (
              SELECT 1 AS k, 'same_uuid' AS kind, 'UUID ' AS label, c.system_uuid AS v, c.system_uuid AS shown,
                     c.id, p.number
              FROM pcs p JOIN collections c ON c.id = p.collection_id WHERE c.system_uuid <> ''
              UNION ALL
              SELECT 2, 'same_mac', 'MAC ', m.mac, m.mac, c.id, p.number
              FROM pcs p JOIN collections c ON c.id = p.collection_id
              JOIN collection_macs m ON m.collection_id = c.id
              UNION ALL
              SELECT 3, 'same_computer_name', 'コンピュータ名 ', upper(c.computer_name), c.computer_name, c.id,
                     p.number
              FROM pcs p JOIN collections c ON c.id = p.collection_id WHERE c.computer_name <> ''),
            dup AS (SELECT k, v, group_concat(number, ' ') AS numbers FROM (SELECT * FROM cur ORDER BY number)
                    GROUP BY k, v HAVING COUNT(*) > 1)
       INSERT INTO findings(kind, number, file, detail)
       SELECT cur.kind, cur.number, f.name, cur.label || cur.shown || ': ' || dup.numbers
       FROM cur JOIN dup USING(k, v) JOIN collections c ON c.id = cur.id JOIN files f ON f.id = c.file_id
       ORDER BY cur.k, cur.v, cur.number)",
    // A PC is its system UUID, or its computer name when it has none.
    R"(WITH ids AS (SELECT c.number, c.id,
                           COALESCE(NULLIF(c.system_uuid, ''), upper(c.computer_name)) AS pc,
                           c.computer_name, c.collected_at, f.name
                    FROM collections c JOIN files f ON f.id = c.file_id),
            two AS (SELECT number FROM ids WHERE pc <> '' GROUP BY number HAVING COUNT(DISTINCT pc) > 1)
       INSERT INTO findings(kind, number, file, detail)
       SELECT 'two_pcs', number, group_concat(name, ' / '),
              group_concat(computer_name || ' (' || collected_at || ')', ' / ')
       FROM (SELECT ids.* FROM ids JOIN two USING(number) ORDER BY ids.number, ids.collected_at, ids.id)
       GROUP BY number ORDER BY number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'stale', p.number, f.name, '収集日時 ' || c.collected_at
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE ?1 IS NOT NULL AND substr(c.collected_at, 1, 10) < date(?2, '-' || ?1 || ' days')
       ORDER BY p.number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'not_reported', number, NULL, '台帳にあり、記録ファイルがない'
       FROM register WHERE number NOT IN (SELECT number FROM pcs) ORDER BY number)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'not_in_register', p.number, f.name, '記録ファイルがあり、台帳にない'
       FROM pcs p JOIN collections c ON c.id = p.collection_id JOIN files f ON f.id = c.file_id
       WHERE EXISTS (SELECT 1 FROM register) AND p.number NOT IN (SELECT number FROM register)
       ORDER BY p.number)",
};

}  // namespace

std::span<const FindingKind> FindingKinds() { return kKinds; }

int RecomputeFindings(Database& db, const CheckOptions& options) {
  sqlite3_create_function(db.get(), "is_management_number", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                          SqlIsManagementNumber, nullptr, nullptr);
  sqlite3_create_function(db.get(), "name_matches_key", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                          SqlNameMatchesKey, nullptr, nullptr);
  db.exec("DELETE FROM findings");
  for (const char* sql : kChecks) {
    Statement s = db.prepare(sql);
    if (sqlite3_bind_parameter_count(s.get()) > 0) {
      if (options.staleDays) s.bind(1, std::int64_t{*options.staleDays});
      s.bind(2, options.today);
    }
    s.run();
  }
  AddCatalogueFindings(db, options.today);
  Statement count = db.prepare("SELECT COUNT(*) FROM findings");
  count.step();
  return static_cast<int>(count.integer(0));
}

}  // namespace th::ledger

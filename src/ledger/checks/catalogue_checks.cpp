#include "ledger/checks/catalogue_checks.h"

#include "ledger/store/identifier_sql.h"
#include "ledger/checks/end_of_support.h"

namespace th::ledger {

namespace {

// windows_end_of_support(caption, feature version or NULL)
void SqlWindowsEndOfSupport(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const auto text = [&](int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(argv[i]))) : std::string_view();
  };
  const auto date = sqlite3_value_type(argv[0]) == SQLITE_NULL ? std::nullopt : WindowsEndOfSupport(text(0), text(1));
  if (date) sqlite3_result_text(ctx, date->c_str(), static_cast<int>(date->size()), SQLITE_TRANSIENT);
  else sqlite3_result_null(ctx);
}

// Each statement inserts one kind in a stable order. temp.pc_has holds, once,
// each PC's products that a check looks at (forbidden, required, short of
// licences, past their date), so the many free products cost little.
constexpr const char* kProductsChecked =
    R"(CREATE TEMP TABLE pc_has AS
       WITH checked AS (
         SELECT product FROM catalogue_products
         WHERE kind IN ('forbidden', 'required') OR end_of_support < ?1 OR (kind = 'paid' AND licences IS NOT NULL)),
       names AS (SELECT m.name, m.os, m.product FROM catalogue_matches m JOIN checked USING(product))
       SELECT DISTINCT i.number, n.product, i.name FROM installs i JOIN names n ON n.os = 0 AND n.name = i.name
       UNION
       SELECT s.number, n.product, s.os FROM pc_summary s JOIN names n ON n.os = 1 AND n.name = s.os)";

constexpr const char* kChecks[] = {
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'catalogue_value', NULL, file,
              line || '行目 ' || column_name || ': ' || CASE WHEN value = '' THEN '（空）' ELSE value END
       FROM catalogue_problems ORDER BY rowid)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'licence_shortage', NULL, NULL, p.product || ': 保有 ' || p.licences || '、導入 ' || n.installed
       FROM catalogue_products p
       JOIN (SELECT product, COUNT(DISTINCT number) AS installed FROM temp.pc_has GROUP BY product) n USING(product)
       WHERE p.kind = 'paid' AND p.licences IS NOT NULL AND n.installed > p.licences ORDER BY p.line)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'forbidden_software', x.number, s.file_name, x.names
       FROM (SELECT number, product, group_concat(name, ' / ') AS names
             FROM (SELECT pp.* FROM temp.pc_has pp JOIN catalogue_products p USING(product)
                   WHERE p.kind = 'forbidden' ORDER BY pp.number, p.line, pp.name)
             GROUP BY number, product) x
       JOIN pc_summary s ON s.number = x.number
       JOIN catalogue_products p ON p.product = x.product
       ORDER BY x.number, p.line)",
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'required_missing', s.number, s.file_name, p.product
       FROM pc_summary s JOIN catalogue_products p ON p.kind = 'required'
       WHERE NOT EXISTS (SELECT 1 FROM temp.pc_has pp WHERE pp.number = s.number AND pp.product = p.product)
       ORDER BY s.number, p.line)",
    // The catalogue's date first; a caption the catalogue dates is not
    // dated again by the built-in table.
    R"(INSERT INTO findings(kind, number, file, detail)
       SELECT 'end_of_support', number, file_name, what || ': サポート終了 ' || since FROM (
         SELECT pp.number, s.file_name, pp.product AS what, p.end_of_support AS since, p.line AS k
         FROM (SELECT DISTINCT number, product FROM temp.pc_has) pp
         JOIN catalogue_products p USING(product) JOIN pc_summary s USING(number)
         WHERE p.end_of_support < ?1
         UNION ALL
         SELECT number, file_name, os, since, -1 FROM
           (SELECT number, file_name, os, windows_end_of_support(os, (SELECT x.os_display_version FROM collection_platform x
             WHERE x.collection_id = pc_summary.collection_id)) AS since FROM pc_summary) s
         WHERE since < ?1 AND NOT EXISTS (
           SELECT 1 FROM catalogue_matches m JOIN catalogue_products p ON p.product = m.product
           WHERE m.os = 1 AND m.name = s.os AND p.end_of_support IS NOT NULL))
       ORDER BY number, k)",
    // Hardware that a PC's own collection should never show changing; a
    // value missing on either side is a failed reading, not a change, and so
    // is a placeholder serial or UUID.
    R"(WITH pairs AS (
         SELECT s.number, s.file_name, n.memory AS nm, o.memory AS om, n.system_disk_size AS nd,
                o.system_disk_size AS od, n.cpu AS nc, o.cpu AS oc,
                CASE WHEN )" LEDGER_REAL_SERIAL("n.board_serial") R"( THEN n.board_serial ELSE '' END AS nb,
                CASE WHEN )" LEDGER_REAL_SERIAL("o.board_serial") R"( THEN o.board_serial ELSE '' END AS ob,
                CASE WHEN )" LEDGER_REAL_UUID("n.system_uuid") R"( THEN n.system_uuid ELSE '' END AS nu,
                CASE WHEN )" LEDGER_REAL_UUID("o.system_uuid") R"( THEN o.system_uuid ELSE '' END AS ou
         FROM previous_collections pc JOIN pc_summary s ON s.number = pc.number
         JOIN collections n ON n.id = pc.collection_id JOIN collections o ON o.id = pc.previous_id),
       changed AS (
         SELECT number, file_name,
           CASE WHEN nm <> '' AND om <> '' AND CAST(nm AS INTEGER) < CAST(om AS INTEGER)
                THEN ' / メモリ ' || om || ' → ' || nm ELSE '' END ||
           CASE WHEN nd <> '' AND od <> '' AND nd <> od THEN ' / システムディスク容量 ' || od || ' → ' || nd ELSE '' END ||
           CASE WHEN nc <> '' AND oc <> '' AND nc <> oc THEN ' / CPU ' || oc || ' → ' || nc ELSE '' END ||
           CASE WHEN nb <> '' AND ob <> '' AND nb <> ob THEN ' / ボードシリアル ' || ob || ' → ' || nb ELSE '' END ||
           CASE WHEN nu <> '' AND ou <> '' AND nu <> ou THEN ' / システムUUID ' || ou || ' → ' || nu ELSE '' END
           AS what
         FROM pairs)
       INSERT INTO findings(kind, number, file, detail)
       SELECT 'hardware_changed', number, file_name, substr(what, 4) FROM changed WHERE what <> '' ORDER BY number)",
};

}  // namespace

void AddCatalogueFindings(Database& db, const std::string& today) {
  if (sqlite3_create_function(db.get(), "windows_end_of_support", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                              SqlWindowsEndOfSupport, nullptr, nullptr) != SQLITE_OK) {
    throw DbError(sqlite3_errmsg(db.get()));
  }
  db.exec("DROP TABLE IF EXISTS temp.pc_has;");
  bool any = false;
  {
    Statement catalogue = db.prepare("SELECT EXISTS (SELECT 1 FROM catalogue_products)");
    any = catalogue.step() && catalogue.integer(0) != 0;
  }
  if (any) {
    db.prepare(kProductsChecked).bind(1, today).run();
  } else {
    db.exec("CREATE TEMP TABLE pc_has(number, product, name);");  // no catalogue: no install is read
  }
  db.exec("CREATE INDEX temp.pc_has_number ON pc_has(number, product);");
  for (const char* sql : kChecks) {
    Statement s = db.prepare(sql);
    if (sqlite3_bind_parameter_count(s.get()) > 0) s.bind(1, today);
    s.run();
  }
  db.exec("DROP TABLE temp.pc_has;");
}

}  // namespace th::ledger

#include "ledger/store/schema.h"

#include <iterator>
#include <string>

#include "ledger/store/finding_kinds.h"
#include "ledger/store/schema_sql.h"  // generated from schema/*.sql: kMigrations
#include "ledger/store/sql_functions.h"

namespace th::ledger {

namespace {

std::int64_t Integer(Database& db, const char* sql) {
  Statement s = db.prepare(sql);
  return s.step() ? s.integer(0) : 0;
}

// The folds of the collections taken before they were kept: texts that
// folding changes, and the repeats of an application within a collection.
void FillApplicationFolds(Database& db) {
  db.exec("INSERT INTO application_folds(collection_id, line, name, version, unit, duplicate)"
          " SELECT collection_id, line, NULLIF(n, subitem), NULLIF(v, contents), NULLIF(u, unit), dup FROM"
          " (SELECT *, line <> MIN(line) OVER (PARTITION BY collection_id, n, v, u) AS dup FROM"
          "  (SELECT collection_id, line, subitem, contents, unit, fold_name(subitem) AS n,"
          "   fold_name(contents) AS v, fold_name(unit) AS u FROM records"
          "   WHERE grp = 'Soft' AND item = 'Application'))"
          " WHERE dup OR n IS NOT subitem OR v IS NOT contents OR u IS NOT unit");
}

}  // namespace

int SchemaVersion() { return static_cast<int>(std::size(kMigrations)); }

void ApplySchema(Database& db) {
  // The default rollback journal keeps a crashed or interrupted import from
  // touching the file. Records are appended in key order, so a modest cache
  // serves any size of import and bounds the memory it takes.
  db.exec("PRAGMA cache_size = -16384;");
  RegisterSqlFunctions(db);
  Transaction tx(db);
  int version = static_cast<int>(Integer(db, "PRAGMA user_version"));
  // A database from before versions has the first migration's tables.
  if (version == 0 && Integer(db, "SELECT COUNT(*) FROM sqlite_master WHERE name = 'files'") > 0) version = 1;
  if (version > SchemaVersion()) {
    throw DbError("データベースがこのプログラムより新しい版のものです / the database is from a newer version of this"
                  " program");
  }
  const int from = version;
  for (; version < SchemaVersion(); ++version) db.exec(kMigrations[version]);
  if (from >= 1 && from < 2) FillApplicationFolds(db);
  db.exec("PRAGMA user_version = " + std::to_string(version));
  Statement put = db.prepare("INSERT OR REPLACE INTO finding_kinds(kind, title, title_en) VALUES(?, ?, ?)");
  for (const FindingKind& k : FindingKinds()) put.bind(1, k.kind).bind(2, k.title).bind(3, k.titleEn).run();
  tx.commit();
}

}  // namespace th::ledger

#include "ledger/schema.h"

#include "ledger/checks.h"
#include "ledger/schema_sql.h"  // generated from schema.sql: kSchemaSql

namespace th::ledger {

void ApplySchema(Database& db) {
  // The default rollback journal keeps a crashed or interrupted import from
  // touching the file. Records are appended in key order, so a modest cache
  // serves any size of import and bounds the memory it takes.
  db.exec("PRAGMA cache_size = -16384;");
  db.exec(kSchemaSql);
  Transaction tx(db);
  Statement put = db.prepare("INSERT OR REPLACE INTO finding_kinds(kind, title, title_en) VALUES(?, ?, ?)");
  for (const FindingKind& k : FindingKinds()) put.bind(1, k.kind).bind(2, k.title).bind(3, k.titleEn).run();
  tx.commit();
}

}  // namespace th::ledger

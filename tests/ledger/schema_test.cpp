// A database made before the schema carried a version (the file in data/ is
// such a ledger's dump) opens and is brought up to date.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

TEST_F(LedgerTest, ADatabaseFromBeforeVersionsIsUpgraded) {
  {
    Database old((dir / "ledger.sqlite").string());
    std::ifstream in(LEDGER_TEST_DATA "/ledger-before-versions.sql");
    std::stringstream sql;
    sql << in.rdbuf();
    old.exec(sql.str());
    // Platform lines an older ledger kept as plain records: drawn once.
    old.exec("INSERT INTO records VALUES(3,90,'Platform','Section','Version','1',''),"
             "(3,91,'Platform','CPU','Identifier','Intel64 Family 6 Model 158 Stepping 10',''),"
             "(3,92,'Platform','TPM','Version','','denied'),(3,93,'Platform','Appraiser','GE24H2','Red','Tpm'),"
             "(3,94,'Platform','Appraiser','GE25H2','Green',''),(3,95,'Platform','Appraiser','Bypass','',''),"
             "(2,90,'Platform','CPU','Vendor','GenuineIntel','')");  // no section line: not the client's lines
  }
  ASSERT_EQ(query("PRAGMA user_version"), std::to_string(SchemaVersion()));  // db() applied the schema
  // Its collections' software, now by name and version, each PC once.
  EXPECT_EQ(query("SELECT number, name, version, publisher FROM installs ORDER BY number, publisher"),
            "abc-05-0001|Office|16.0|Microsoft Corporation\nabc-05-0001|Office|16.0|{P-1}\n"
            "abc-05-0002|Office|16.0|{P-2}");
  EXPECT_EQ(query("SELECT name, version, pcs FROM software"), "Office|16.0|2");
  EXPECT_EQ(query("SELECT collection_id, cpu_vendor, cpu_identifier, tpm_version, appraiser, bypass FROM collection_platform"),
            "3||Intel64 Family 6 Model 158 Stepping 10||GE24H2 Red Tpm;GE25H2 Green|");
  EXPECT_EQ(query("SELECT number, collected_at FROM pc_summary ORDER BY number"),
            "abc-05-0001|2026-12-01 08:00:00\nabc-05-0002|2026-12-02 09:00:00");
  // The next import keeps the history and checks with today's rules.
  import();
  EXPECT_EQ(query("SELECT COUNT(*) FROM collections"), "3");
  EXPECT_EQ(query("SELECT kind, detail FROM findings"),
            "same_uuid|UUID {A}: abc-05-0001 abc-05-0002\n"
            "older_numbers|UUID A: 古い管理番号 abc-05-0001（GLPIにはこの番号だけを送る）");
}

}  // namespace
}  // namespace th::ledger::test

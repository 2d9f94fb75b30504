#include <gtest/gtest.h>

#include "ledger/exports.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

TEST_F(LedgerTest, NewestCollectionIsCurrentAndHistoryStays) {
  write({.key = "abc-05-0012", .date = "2026/11/01"}, "old.csv");
  write({.key = "abc-05-0012", .date = "2026/12/01", .time = "08:00:00"});
  write({.key = "abc-05-0013"});
  const ImportResult r = import();
  EXPECT_EQ(r.taken, 3);
  EXPECT_EQ(r.newPcs, 2);
  EXPECT_EQ(query("SELECT number, collected_at, file_name FROM pc_summary ORDER BY number"),
            "abc-05-0012|2026-12-01 08:00:00|abc-05-0012.csv\nabc-05-0013|2026-12-01 09:05:07|abc-05-0013.csv");
  EXPECT_EQ(query("SELECT COUNT(*) FROM collections WHERE number = 'abc-05-0012'"), "2");
  EXPECT_EQ(query("SELECT line, grp, subitem FROM records r JOIN collections c ON c.id = r.collection_id"
                  " JOIN files f ON f.id = c.file_id WHERE f.name = 'old.csv' AND line IN (2, 6)"),
            "2|Create|2026/11/01\n6|Soft|Alpha Tool");

  // A later, newer file updates the PC; an older one only joins its history.
  write({.key = "abc-05-0013", .date = "2026/12/05"}, "abc-05-0013 new.csv");
  write({.key = "abc-05-0012", .date = "2026/10/01"}, "older.csv");
  const ImportResult again = import();
  EXPECT_EQ(again.alreadyRead, 3);
  EXPECT_EQ(again.taken, 2);
  EXPECT_EQ(again.newPcs, 0);
  EXPECT_EQ(again.updatedPcs, 1);
  EXPECT_EQ(query("SELECT number, substr(collected_at, 1, 10) FROM pc_summary ORDER BY number"),
            "abc-05-0012|2026-12-01\nabc-05-0013|2026-12-05");
  EXPECT_EQ(query("SELECT files_read, new_pcs, updated_pcs, rejected FROM imports"), "3|2|0|0\n5|0|1|0");
}

TEST_F(LedgerTest, ASecondImportChangesNothingAndInputsStayAsTheyWere) {
  const fs::path file = write({.key = "abc-05-0012"});
  writeBytes("junk.csv", "not a record file\r\n");
  const auto before = fs::last_write_time(file);
  const ImportResult first = import();
  EXPECT_EQ(first.rejected.size(), 1u);
  const std::string snapshot = query(
      "SELECT (SELECT group_concat(id || sha256 || rejected) FROM files), (SELECT COUNT(*) FROM records),"
      " (SELECT group_concat(id) FROM imports), (SELECT group_concat(kind || number || detail) FROM findings)");
  const ImportResult second = import();
  EXPECT_EQ(second.alreadyRead, 2);
  EXPECT_EQ(second.taken, 0);
  EXPECT_EQ(second.rejected.size(), 1u);  // met again, still not taken
  EXPECT_EQ(query("SELECT (SELECT group_concat(id || sha256 || rejected) FROM files), (SELECT COUNT(*) FROM records),"
                  " (SELECT group_concat(id) FROM imports),"
                  " (SELECT group_concat(kind || number || detail) FROM findings)"),
            snapshot);
  EXPECT_EQ(fs::last_write_time(file), before);
}

TEST_F(LedgerTest, RenewaldayServesWhenTheDateRecordIsMissing) {
  const std::string text = "Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n"
                           "abc-05-0012,資産,管理情報,姓,山田,,2026/12/03\r\n";
  writeBytes("abc-05-0012.csv", codePage.toAnsi(text));
  import();
  EXPECT_EQ(query("SELECT s.collected_at, c.renewalday, s.surname FROM pc_summary s"
                  " JOIN collections c ON c.id = s.collection_id"),
            "2026-12-03|2026-12-03|山田");
}

TEST_F(LedgerTest, AFailingImportLeavesTheDatabaseAsItWas) {
  write({.key = "abc-05-0012"});
  import();
  write({.key = "abc-05-0013"});
  db().exec("CREATE TRIGGER refuse BEFORE INSERT ON records WHEN NEW.collection_id > 1"
            " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  EXPECT_THROW(import(), DbError);
  EXPECT_EQ(query("SELECT (SELECT COUNT(*) FROM files), (SELECT COUNT(*) FROM collections), (SELECT COUNT(*) FROM pcs)"),
            "1|1|1");
}

TEST_F(LedgerTest, ExportsForSpreadsheets) {
  write({.key = "abc-05-0012", .software = {"=HYPERLINK(x),1.0,Evil", "Alpha Tool,1.2,Alpha Works"}});
  write({.key = "abc-05-0013", .computer = "PC-BETA", .uuid = "{2222}", .mac = "00-1A-2B-3C-4D-5F"});
  ImportRequest request;
  request.registerList = RegisterList{{"部署"}, {{"abc-05-0012", {"総務"}}}};
  import(request);
  WriteExports(db(), dir / "out", ExportEncoding::Utf8Bom, codePage);
  auto read = [&](const char* name) {
    std::ifstream in(dir / "out" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string pcs = read("pcs.csv");
  EXPECT_EQ(pcs.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(pcs.find(",収集日時,部署\r\n"), std::string::npos);
  EXPECT_NE(pcs.find("\r\nabc-05-0012,山田,太郎,PC-ALPHA,"), std::string::npos);
  EXPECT_NE(pcs.find(",{1111},00-1A-2B-3C-4D-5E,,2026-12-01 09:05:07,総務\r\n"), std::string::npos);
  EXPECT_NE(pcs.find(",2026-12-01 09:05:07,\r\n"), std::string::npos);  // not in the register
  EXPECT_EQ(read("software.csv"),
            "\xEF\xBB\xBFソフトウェア名,発行元,PC数\r\nAlpha Tool,Alpha Works,2\r\n'=HYPERLINK(x),Evil,1\r\n");
  EXPECT_EQ(read("installs.csv"),
            "\xEF\xBB\xBF管理番号,ソフトウェア名,発行元\r\nabc-05-0012,'=HYPERLINK(x),Evil\r\n"
            "abc-05-0012,Alpha Tool,Alpha Works\r\nabc-05-0013,Alpha Tool,Alpha Works\r\n");

  WriteExports(db(), dir / "out", ExportEncoding::Cp932, codePage);
  EXPECT_EQ(read("software.csv"), codePage.toAnsi("ソフトウェア名,発行元,PC数\r\nAlpha Tool,Alpha Works,2\r\n"
                                                  "'=HYPERLINK(x),Evil,1\r\n"));
}

}  // namespace
}  // namespace th::ledger::test

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "ledger/exports/exports.h"
#include "ledger/records/register_file.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

TEST_F(LedgerTest, NewestCollectionIsCurrentAndHistoryStays) {
  write({.key = "abc-05-0012", .date = "2026/11/01"}, "OLD.CSV");  // the extension in any case
  write({.key = "abc-05-0012", .date = "2026/12/01", .time = "08:00:00"});
  write({.key = "abc-05-0013"});
  const ImportResult r = import();
  EXPECT_EQ(r.taken, 3);
  EXPECT_EQ(r.newPcs, 2);
  EXPECT_EQ(query("SELECT number, collected_at, file_name FROM pc_summary ORDER BY number"),
            "abc-05-0012|2026-12-01 08:00:00|abc-05-0012.csv\nabc-05-0013|2026-12-01 09:05:07|abc-05-0013.csv");
  EXPECT_EQ(query("SELECT COUNT(*) FROM collections WHERE number = 'abc-05-0012'"), "2");
  EXPECT_EQ(query("SELECT line, grp, subitem FROM records r JOIN collections c ON c.id = r.collection_id"
                  " JOIN files f ON f.id = c.file_id WHERE f.name = 'OLD.CSV' AND line IN (2, 6)"),
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

TEST_F(LedgerTest, LongFilesKeepEveryLineAndSoftwareFoldsTheSameOnEveryPc) {
  // 40 applications, then one whose name folds and one that repeats it once folded:
  // 51 records (lines 2..52), more than one statement's batch of rows.
  std::vector<std::string> software;
  for (int i = 1; i <= 40; ++i) software.push_back("App " + std::string(i < 10 ? "0" : "") + std::to_string(i) + ",1.0,Pub");
  software.insert(software.end(), {"Ｍｉｃｒｏｓｏｆｔ Office,16.0,Microsoft", "Microsoft Office,16.0,Microsoft "});
  write({.key = "abc-05-0001", .software = software});
  write({.key = "abc-05-0002", .software = software});
  ASSERT_EQ(import().taken, 2);
  EXPECT_EQ(query("SELECT c.number, COUNT(*), MIN(line), MAX(line) FROM records r"
                  " JOIN collections c ON c.id = r.collection_id GROUP BY c.number"),
            "abc-05-0001|51|2|52\nabc-05-0002|51|2|52");
  EXPECT_EQ(query("SELECT line, grp, item, subitem, contents, unit FROM records r JOIN collections c"
                  " ON c.id = r.collection_id WHERE c.number = 'abc-05-0002' AND line IN (2, 33, 34, 52) ORDER BY line"),
            "2|Create|DateTime|2026/12/01|09:05:07|\n33|Soft|Application|App 28|1.0|Pub\n"
            "34|Soft|Application|App 29|1.0|Pub\n52|資産|管理情報|管理番号|abc-05-0002|");
  // The second PC's folds come from the first's.
  EXPECT_EQ(query("SELECT c.number, line, x.name, x.version, x.unit, duplicate FROM application_folds x"
                  " JOIN collections c ON c.id = x.collection_id ORDER BY c.number, line"),
            "abc-05-0001|46|Microsoft Office|||0\nabc-05-0001|47|||Microsoft|1\n"
            "abc-05-0002|46|Microsoft Office|||0\nabc-05-0002|47|||Microsoft|1");
  EXPECT_EQ(query("SELECT name, version, publisher, pcs FROM software WHERE name LIKE 'Microsoft%'"),
            "Microsoft Office|16.0|Microsoft|2");
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
  // One application under a product ID, a publisher with a trailing
  // full-width blank and twice on one PC: one row per name and version.
  write({.key = "abc-05-0012",
         .software = {"=HYPERLINK(x),1.0,Evil", "Alpha Tool,1.2,{PID-1}", "Alpha Tool,1.2,{PID-1}",
                      "Ａｌｐｈａ Tool ,1.2,Alpha Works　"},
         .records = {"LAN,LAN,ユーザー名,DOM\\yamada,", "Soft,OS,Version,Windows 7 Professional (Service Pack 1),",
                     "Hard,CPU,NameString,Xeon A,",
                     "Hard,CPU,NameString,Xeon B,"}});
  write({.key = "abc-05-0013", .computer = "PC-BETA", .uuid = "{2222}", .mac = "00-1A-2B-3C-4D-5F",
         .software = {"Alpha Tool,1.2,Alpha Works", "Zeta,1.0,"},
         .records = {"LAN,Adapter2,MACアドレス,00-1A-2B-3C-4D-6F,", "LAN,Adapter2,IPアドレス,10.0.0.5,"}});
  ImportRequest request;
  request.registerList = RegisterList{{"部署"}, {{"abc-05-0012", {"総務"}}}};
  import(request);
  WriteExports(db(), dir / "out", ExportEncoding::Utf8Bom, codePage);
  const auto read = [&](const char* name) {
    std::ifstream in(dir / "out" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(read("pcs.csv").substr(0, 3), "\xEF\xBB\xBF");
  using Rows = std::vector<std::map<std::string, std::string>>;
  const auto rows = [&](const char* name, const std::vector<std::string>& columns) {
    std::string text = read(name).substr(3);
    std::vector<std::vector<std::string>> lines;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      lines.push_back(SplitCsvLine(std::string_view(text).substr(at, end - at)));
      at = end + 2;
    }
    Rows out;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::map<std::string, std::string> row;
      for (const std::string& c : columns) {
        const auto at = std::find(lines[0].begin(), lines[0].end(), c) - lines[0].begin();
        row[c] = static_cast<std::size_t>(at) < lines[i].size() ? lines[i][static_cast<std::size_t>(at)] : "<none>";
      }
      out.push_back(row);
    }
    return out;
  };
  EXPECT_EQ(rows("pcs.csv", {"管理番号", "コンピュータ名", "ユーザー名", "OS", "OSバージョン", "CPU", "メーカー", "モデル", "システムUUID",
                             "MACアドレス", "IPアドレス", "収集日時", "部署", "Win11判定"}),
            (Rows{{{"管理番号", "abc-05-0012"}, {"コンピュータ名", "PC-ALPHA"}, {"ユーザー名", "DOM\\yamada"},
                   {"OS", "Windows 7 Professional"},
                   {"OSバージョン", "Service Pack 1"}, {"CPU", "Xeon A"}, {"メーカー", "Maker X"}, {"モデル", "Model Y"},
                   {"システムUUID", "{1111}"}, {"MACアドレス", "00-1A-2B-3C-4D-5E"}, {"IPアドレス", ""},
                   {"収集日時", "2026-12-01 09:05:07"}, {"部署", "総務"}, {"Win11判定", "不明"}},
                  {{"管理番号", "abc-05-0013"}, {"コンピュータ名", "PC-BETA"}, {"ユーザー名", ""}, {"OS", ""}, {"OSバージョン", ""}, {"CPU", ""},
                   {"メーカー", "Maker X"}, {"モデル", "Model Y"}, {"システムUUID", "{2222}"},
                   {"MACアドレス", "00-1A-2B-3C-4D-5F 00-1A-2B-3C-4D-6F"}, {"IPアドレス", "10.0.0.5"},
                   {"収集日時", "2026-12-01 09:05:07"}, {"部署", ""}, {"Win11判定", "不明"}}}));
  // The verdict after the register's columns: the others stay where they were.
  const std::string pcsCsv = read("pcs.csv");
  EXPECT_NE(pcsCsv.find(",収集日時,製造番号,部署,Win11判定\r\n"), std::string::npos);
  const std::vector<std::string> sw = {"ソフトウェア名", "バージョン", "発行元", "PC数"};
  EXPECT_EQ(rows("software.csv", sw),
            (Rows{{{"ソフトウェア名", "Alpha Tool"}, {"バージョン", "1.2"}, {"発行元", "Alpha Works"}, {"PC数", "2"}},
                  {{"ソフトウェア名", "'=HYPERLINK(x)"}, {"バージョン", "1.0"}, {"発行元", "Evil"}, {"PC数", "1"}},
                  {{"ソフトウェア名", "Zeta"}, {"バージョン", "1.0"}, {"発行元", ""}, {"PC数", "1"}}}));
  const std::vector<std::string> in = {"管理番号", "ソフトウェア名", "バージョン", "発行元"};
  EXPECT_EQ(rows("installs.csv", in),
            (Rows{{{"管理番号", "abc-05-0012"}, {"ソフトウェア名", "'=HYPERLINK(x)"}, {"バージョン", "1.0"}, {"発行元", "Evil"}},
                  {{"管理番号", "abc-05-0012"}, {"ソフトウェア名", "Alpha Tool"}, {"バージョン", "1.2"}, {"発行元", "Alpha Works"}},
                  {{"管理番号", "abc-05-0012"}, {"ソフトウェア名", "Alpha Tool"}, {"バージョン", "1.2"}, {"発行元", "{PID-1}"}},
                  {{"管理番号", "abc-05-0013"}, {"ソフトウェア名", "Alpha Tool"}, {"バージョン", "1.2"}, {"発行元", "Alpha Works"}},
                  {{"管理番号", "abc-05-0013"}, {"ソフトウェア名", "Zeta"}, {"バージョン", "1.0"}, {"発行元", ""}}}));

  WriteExports(db(), dir / "out", ExportEncoding::Cp932, codePage);
  EXPECT_EQ(read("software.csv"), codePage.toAnsi("ソフトウェア名,バージョン,発行元,PC数\r\nAlpha Tool,1.2,Alpha Works,2\r\n"
                                                  "'=HYPERLINK(x),1.0,Evil,1\r\nZeta,1.0,,1\r\n"));
}

TEST_F(LedgerTest, RegisterColumnsJoinAKeyWrittenInCapitals) {
  // The register holds numbers folded to lower case; an older or hand-made file may not.
  write({.key = "ABC-05-0021"});
  ImportRequest request;
  request.registerList = RegisterList{{"部署"}, {{"abc-05-0021", {"経理"}}}};
  import(request);
  WriteExports(db(), dir / "out", ExportEncoding::Utf8Bom, codePage);
  std::ifstream in(dir / "out" / "pcs.csv", std::ios::binary);
  std::string heading, row;
  std::getline(in, heading);
  std::getline(in, row);
  const std::vector<std::string> names = SplitCsvLine(heading.substr(3, heading.size() - 4));
  const std::vector<std::string> cells = SplitCsvLine(row.substr(0, row.size() - 1));
  const auto cell = [&](const std::string& name) {
    return cells.at(static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin()));
  };
  EXPECT_EQ(cell("管理番号") + "|" + cell("部署"), "ABC-05-0021|経理");
}

// Kanji whose lead byte is E0-FC (濱 = E0 5F, its trail byte an ASCII "_";
// 髙 = FB FC) are read as the characters they are, in every field.
TEST_F(LedgerTest, KanjiWithTheHighLeadBytesReadBackAsWritten) {
  write({.key = "abc-05-0001", .computer = "濱-PC", .software = {"髙速メモ,1.0,濱_髙"},
         .records = {"LAN,LAN,ユーザー名,髙橋 濱,"}});
  const ImportResult r = import();
  EXPECT_EQ(r.taken, 1);
  EXPECT_EQ(query("SELECT computer_name, user_name FROM pc_summary"), "濱-PC|髙橋 濱");
  EXPECT_EQ(query("SELECT name, version, publisher FROM installs"), "髙速メモ|1.0|濱_髙");
}

}  // namespace
}  // namespace th::ledger::test

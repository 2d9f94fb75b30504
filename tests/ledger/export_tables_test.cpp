// The exports' tables as findings.csv holds them: a value several numbers
// share lists every number and file; a value the workbook must cut is found.
#include <fstream>
#include <sstream>

#include "ledger/exports/exports.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

TEST_F(LedgerTest, FindingsTableListsTheNumbersOfASharedValue) {
  write({.key = "abc-05-0012", .computer = "PC-ALPHA", .uuid = "{1111}", .mac = "00-1A-2B-3C-4D-5E"});
  write({.key = "abc-05-0013", .computer = "PC-BETA", .uuid = "{1111}", .mac = "00-1A-2B-3C-4D-5F"});
  import();
  WriteExports(db(), dir / "out", ExportEncoding::Utf8Bom, codePage);
  std::ifstream in(dir / "out" / "findings.csv", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::stringstream cells(line);
    for (std::string f; std::getline(cells, f, ',');) fields.push_back(f);
    rows.push_back(fields);
  }
  ASSERT_EQ(rows.size(), 3u);  // the heading, the one shared UUID and the older of its numbers
  EXPECT_EQ(rows[0], (std::vector<std::string>{"\xEF\xBB\xBF検出事項", "管理番号", "ファイル", "詳細", "要対応"}));
  EXPECT_EQ(rows[1][1], "abc-05-0012 abc-05-0013");
  EXPECT_EQ(rows[1][2], "abc-05-0012.csv abc-05-0013.csv");
}

// A value longer than a workbook cell holds (32,767 characters, not bytes) is
// a finding naming its PC, file, record and length; one that fits is not.
TEST_F(LedgerTest, ValuesLongerThanACellAreFindings) {
  std::string wide;  // 60,000 bytes, 20,000 characters
  for (int i = 0; i < 20000; ++i) wide += "漢";
  write({.key = "abc-05-0012", .software = {std::string(32768, 'a') + ",1.0,P", "X," + std::string(32767, 'b') + ",P", "Y,1.0," + wide}});
  write({.key = "abc-05-0013", .computer = "PC-BETA", .uuid = "{2222}", .mac = "00-1A-2B-3C-4D-5F"});
  import();
  EXPECT_EQ(query("SELECT number, file, detail FROM findings WHERE kind = 'cell_too_long'"),
            "abc-05-0012|abc-05-0012.csv|6 行目 Soft/Application の SubItem: 32768 文字「" + std::string(40, 'a') + "…」");
}

}  // namespace
}  // namespace th::ledger::test

// The findings table of the exports (findings.csv, the workbook's findings
// sheet): a value several numbers share lists every number and file.
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
  ASSERT_EQ(rows.size(), 2u);  // the heading and the one shared UUID
  EXPECT_EQ(rows[0], (std::vector<std::string>{"\xEF\xBB\xBF検出事項", "管理番号", "ファイル", "詳細"}));
  EXPECT_EQ(rows[1][1], "abc-05-0012 abc-05-0013");
  EXPECT_EQ(rows[1][2], "abc-05-0012.csv abc-05-0013.csv");
}

}  // namespace
}  // namespace th::ledger::test

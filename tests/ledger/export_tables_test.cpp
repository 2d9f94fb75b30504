// The exports' tables as findings.csv holds them: a value several numbers
// share lists every number and file; a value the workbook must cut is found.
#include <fstream>
#include <sstream>

#include "ledger/exports/exports.h"
#include "ledger/exports/xlsx_workbook.h"
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

namespace th::ledger::test {
namespace {

// Columns of the widths given, narrowed to print one page wide at 75%: an
// A4 landscape page less 0.4" margins holds 1,046 points at 75%, a column
// of w characters takes (7.5 w + 5) * 0.75 points.
TEST(WorkbookPrint, WideTextColumnsAreNarrowedOnlyWhenThatFitsThePage) {
  const auto points = [](const std::vector<double>& widths) {
    double total = 0;
    for (double w : widths) total += (7.5 * w + 5) * 0.75;
    return total;
  };
  EXPECT_EQ(NarrowedToOnePage({10, 20, 30}, 20), (std::vector<double>{10, 20, 30}));  // fits as it is
  // Four wide columns share what the narrow one leaves: (1046 / 0.75 - 25) / 7.5 - 10 = 172.7 characters.
  const std::vector<double> narrowed = NarrowedToOnePage({60, 60, 60, 60, 10}, 20);
  ASSERT_EQ(narrowed.size(), 5u);
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(narrowed[c], 172.7 / 4, 0.6) << c;
  EXPECT_EQ(narrowed[4], 10);
  EXPECT_LE(points(narrowed), (842 - 0.8 * 72) / 0.75);
  // Thirty columns would not fit even at 20 characters each: left for several pages wide.
  EXPECT_EQ(NarrowedToOnePage(std::vector<double>(30, 60), 20), std::vector<double>(30, 60));
}

}  // namespace
}  // namespace th::ledger::test

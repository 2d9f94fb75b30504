// The catalogue file, its pattern matcher and the built-in Windows dates.
#include <gtest/gtest.h>

#include <iconv.h>

#include <fstream>
#include <stdexcept>

#include "ledger/catalogue/catalogue_match.h"
#include "ledger/checks/end_of_support.h"
#include "ledger/exports/cell_values.h"
#include "ledger/text/spreadsheet_values.h"
#include "platform/posix/iconv_codepage.h"

namespace th::ledger {
namespace {

struct Row {
  std::string name, publisher, kind;
  std::optional<long long> licences;
  std::string endOfSupport;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Products(const Catalogue& c) {
  std::vector<Row> rows;
  for (const CatalogueProduct& p : c.products) rows.push_back({p.name, p.publisher, KindCode(p.kind), p.licences, p.endOfSupport});
  return rows;
}

std::vector<std::pair<std::string, std::string>> Patterns(const Catalogue& c) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const CataloguePattern& p : c.patterns) rows.push_back({p.pattern, c.products[p.product].name});
  return rows;
}

// Line, column and value of each problem.
std::vector<std::string> Problems(const Catalogue& c) {
  std::vector<std::string> rows;
  for (const CatalogueProblem& p : c.problems) rows.push_back(std::to_string(p.line) + "|" + p.column + "|" + p.value);
  return rows;
}

std::string Utf16Le(std::string utf8) {  // by iconv, not by the code under test
  std::string out(utf8.size() * 4, '\0');
  char *in = utf8.data(), *to = out.data();
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  const iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  iconv(cd, &in, &inLeft, &to, &outLeft);
  iconv_close(cd);
  return out.substr(0, out.size() - outLeft);
}

class CatalogueFileTest : public ::testing::Test {
 protected:
  platform::IconvCodePage codePage;
};

TEST_F(CatalogueFileTest, ReadsJapaneseHeaderInUtf8WithBomAndMergesAProductsLines) {
  const Catalogue c = ParseCatalogue(
      "\xEF\xBB\xBF"
      "パターン,製品名,発行元,種別,ライセンス数,サポート終了日\r\n"
      "Office Standard 2019*,Office 2019,,有償,,\r\n"
      "\"Office, Pro 2019*\",Office 2019,Microsoft,無償,30,2025/10/14\r\n"
      "Office Home 2019*,Office 2019,Other,禁止,5,2030/01/01\r\n"  // the first value given stays, its kind too
      "\r\n"
      "Zip?,Zip,Zip Works,無償,,\r\n"
      "Game*,Game,,禁止,,2026-1-5\r\n"
      "OS:*Windows 10*,Windows 10,Microsoft,必須,120,\r\n",
      codePage);
  EXPECT_EQ(Products(c), (std::vector<Row>{{"Office 2019", "Microsoft", "paid", 30, "2025-10-14"},
                                           {"Zip", "Zip Works", "free", std::nullopt, ""},
                                           {"Game", "", "forbidden", std::nullopt, "2026-01-05"},
                                           {"Windows 10", "Microsoft", "required", 120, ""}}));
  EXPECT_EQ(Patterns(c), (std::vector<std::pair<std::string, std::string>>{{"Office Standard 2019*", "Office 2019"},
                                                                           {"Office, Pro 2019*", "Office 2019"},
                                                                           {"Office Home 2019*", "Office 2019"},
                                                                           {"Zip?", "Zip"},
                                                                           {"Game*", "Game"},
                                                                           {"OS:*Windows 10*", "Windows 10"}}));
  EXPECT_TRUE(c.problems.empty());
}

TEST_F(CatalogueFileTest, ReadsEnglishHeaderTabSeparatedInCodePage932InAnyColumnOrder) {
  const Catalogue c = ParseCatalogue(codePage.toAnsi("Kind\tPattern\tLicences\tProduct\n"
                                                     "PAID\t一太郎*\t5\t一太郎\n"
                                                     "required\tウイルス対策\t\tウイルス対策\n"),
                                     codePage);
  EXPECT_EQ(Products(c), (std::vector<Row>{{"一太郎", "", "paid", 5, ""}, {"ウイルス対策", "", "required", std::nullopt, ""}}));
  EXPECT_TRUE(c.problems.empty());
}

// One catalogue as each of Excel's saves writes it, every count and date form
// on its lines; the line with a bad count keeps its other values.
TEST_F(CatalogueFileTest, ReadsEverySaveOfExcelEveryCountAndDateForm) {
  const std::vector<std::vector<std::string>> lines = {
      {"パターン", "製品名", "発行元", "種別", "ライセンス数", "サポート終了日"},
      {"Office*", "Office", "Micro Works", "有償", "1,000", "2025/10/14"},
      {"Zip?", "Zip", "", "無償", "１，２３４", "2025-10-14"},
      {"Editor*", "Editor", "", "有償", "３０", "2025/10/14 0:00"},
      {"Game*", "Game", "", "禁止", "", "２０２５年１０月１４日"},
      {"Viewer*", "Viewer", "", "無償", "12.00", "令和7年10月14日"},
      {"Reader*", "Reader", "", "必須", "7", "R7.10.14"},
      {"Old*", "Old", "", "有償", "1,234,567", "平成31年4月30日 12:30:00"},
      {"New*", "New", "Ｎ社", "有償", "2", "令和元年5月1日"},
      {"Bad*", "Bad", "Bad Works", "有償", "1,0O0", "2026/3/31"},
      {"Lower*", "Lower", "", "無償", "", "r7.10.14"}};
  const auto text = [&](const char* separator, const char* quote) {
    std::string out;
    for (const auto& line : lines) {
      for (std::size_t i = 0; i < line.size(); ++i) out += (i ? separator : "") + (quote + line[i] + quote);
      out += "\r\n";
    }
    return out;
  };
  const std::pair<const char*, std::string> saves[] = {{"UTF-8 with BOM", "\xEF\xBB\xBF" + text(",", "\"")},
                                                       {"UTF-8", text(",", "\"")},
                                                       {"code page 932", codePage.toAnsi(text(",", "\""))},
                                                       {"Unicode text", "\xFF\xFE" + Utf16Le(text("\t", ""))}};
  for (const auto& [save, bytes] : saves) {
    const Catalogue c = ParseCatalogue(bytes, codePage);
    EXPECT_EQ(Products(c), (std::vector<Row>{{"Office", "Micro Works", "paid", 1000, "2025-10-14"},
                                             {"Zip", "", "free", 1234, "2025-10-14"},
                                             {"Editor", "", "paid", 30, "2025-10-14"},
                                             {"Game", "", "forbidden", std::nullopt, "2025-10-14"},
                                             {"Viewer", "", "free", 12, "2025-10-14"},
                                             {"Reader", "", "required", 7, "2025-10-14"},
                                             {"Old", "", "paid", 1234567, "2019-04-30"},
                                             {"New", "Ｎ社", "paid", 2, "2019-05-01"},
                                             {"Bad", "Bad Works", "paid", std::nullopt, "2026-03-31"},
                                             {"Lower", "", "free", std::nullopt, "2025-10-14"}}))
        << save;
    EXPECT_EQ(Patterns(c).size(), 10u) << save;
    EXPECT_EQ(Problems(c), (std::vector<std::string>{"10|ライセンス数|1,0O0"})) << save;
  }
}

// Each bad value leaves its line's other values in the catalogue.
TEST_F(CatalogueFileTest, BadValuesKeepTheirLinesAndBecomeProblems) {
  const Catalogue c = ParseCatalogue(
      "pattern,Product,kind,licences,end_of_support\n"
      "A,A,shareware,1,2025/1/1\n"
      "B,B,paid,\"1,00\",2025/1/1\n"
      "E,E,free,2,2025-02-29\n"
      ",K,free,2,\n"
      "ＯＳ：　,L,free,,\n"
      "M*,,free,,\n"
      ",,free,3,\n"     // 8: nothing to keep
      "A2,A,paid,5,\n"  // the first kind that reads
      "U,U,不明,,\n"    // what the ledger calls an unread kind is none a file gives
      "V,V,Unknown,,\n",
      codePage);
  EXPECT_EQ(Products(c), (std::vector<Row>{{"A", "", "paid", 1, "2025-01-01"}, {"B", "", "paid", std::nullopt, "2025-01-01"},
                                           {"E", "", "free", 2, ""}, {"K", "", "free", 2, ""},
                                           {"L", "", "free", std::nullopt, ""}, {"M*", "", "free", std::nullopt, ""},
                                           {"U", "", "unknown", std::nullopt, ""}, {"V", "", "unknown", std::nullopt, ""}}));
  EXPECT_EQ(Patterns(c), (std::vector<std::pair<std::string, std::string>>{
                             {"A", "A"}, {"B", "B"}, {"E", "E"}, {"M*", "M*"}, {"A2", "A"}, {"U", "U"}, {"V", "V"}}));
  EXPECT_EQ(Problems(c), (std::vector<std::string>{"2|kind|shareware", "3|licences|1,00", "4|end_of_support|2025-02-29",
                                                   "5|pattern|", "6|pattern|ＯＳ：　", "7|Product|", "8|pattern|", "8|Product|",
                                                   "10|kind|不明", "11|kind|Unknown"}));
  EXPECT_EQ(ProblemText(c.problems[0]), "2行目 / line 2: 種別が不明です / unknown kind: shareware");
}

TEST(SpreadsheetValues, RefuseWhatIsNoCountOrNoDay) {
  for (const char* t : {"1,00", "-1", "1.5", "1,000,", "1O", "1234567890123", "123456789012345678901234567890"})
    EXPECT_EQ(SpreadsheetCount(t), std::nullopt) << t;
  for (const char* t : {"2025/13/01", "令和7年2月29日", "2025/10/14 noon", "25/10/14", "R7-10/14", "1899/12/31", "2025年10月14"}) {
    EXPECT_EQ(SpreadsheetDate(t), std::nullopt) << t;
  }
}

// A register's amounts and days become numbers and dates in the workbook by
// the catalogue's rules; identifiers, decimals and words stay text.
TEST(SpreadsheetValues, RegisterCellsReadAsTheCatalogueReadsValues) {
  const std::pair<const char*, std::optional<double>> numbers[] = {
      {"148500", 148500},  {"148,500", 148500},  {"\\148,500", 148500}, {"¥148,500", 148500}, {"￥１４８，５００", 148500},
      {"148,500円", 148500}, {"-3", -3},         {"-\\1,234", -1234},   {"\\-1,234", -1234}, {"000123", std::nullopt},
      {"1.10", std::nullopt}, {"\\", std::nullopt}, {"円", std::nullopt}, {"12円34", std::nullopt},
      {"\\148,500円", std::nullopt}, {"未定", std::nullopt}};
  for (const auto& [text, number] : numbers) EXPECT_EQ(ReadWholeNumber(text), number) << text;
  const auto day = [](const char* text) {
    const auto t = ReadDateTime(text);
    return t ? std::to_string(t->y) + "-" + std::to_string(t->mo) + "-" + std::to_string(t->d) + (t->withTime ? " " +
               std::to_string(t->h) + ":" + std::to_string(t->mi) : "") : std::string("-");
  };
  const std::pair<const char*, const char*> days[] = {
      {"2021/4/1", "2021-4-1"}, {"2021-04-01 9:05", "2021-4-1 9:5"}, {"令和3年4月1日", "2021-4-1"}, {"r3.4.1", "2021-4-1"},
      {"H31/4/30", "2019-4-30"}, {"2021年4月1日", "2021-4-1"}, {"1900/3/1", "-"}, {"令和3年2月29日", "-"}, {"R3", "-"}};
  for (const auto& [text, expected] : days) EXPECT_EQ(day(text), expected) << text;
}

TEST_F(CatalogueFileTest, AFirstLineWithoutTheNeededColumnsIsNoCatalogue) {
  EXPECT_THROW(ParseCatalogue("pattern,product,licences\nA,A,1\n", codePage), std::runtime_error);
  EXPECT_THROW(ParseCatalogue("", codePage), std::runtime_error);
}

TEST(CatalogueMatcherTest, FirstMatchingLineWinsWithWildcardsCaseNfkcAndOsLines) {
  platform::IconvCodePage codePage;
  const Catalogue c = ParseCatalogue(
      "pattern,product,kind\n"
      "*Viewer,Any viewer,free\n"
      "Photo Viewer,Photo,paid\n"
      "Office Standard 2019,Office 2019,paid\n"
      "*Office*,Other office,paid\n"
      "Zip?,Zip,free\n"
      "Tool,First tool,free\n"
      "tool,Second tool,free\n"
      "OS:*Windows 10*,Windows 10,paid\n"
      "µTorrent*,uTorrent,forbidden\n",
      codePage);
  const CatalogueMatcher m(c);
  const auto product = [&](std::optional<std::size_t> i) { return i ? c.products[*i].name : std::string("-"); };
  const std::pair<const char*, const char*> applications[] = {
      {"Photo Viewer", "Any viewer"},     // the wildcard line above the exact one
      {"Office Standard 2019", "Office 2019"},
      {"OFFICE standard 2019 ", "Office 2019"},  // case and blanks
      {"Microsoft Office 2016", "Other office"},
      {"Office Standard 2019 SP1", "Other office"},
      {"Zip7", "Zip"},
      {"zipあ", "Zip"},  // "?" is one character, not one byte
      {"Ｚｉｐ７", "Zip"},  // NFKC: full-width letters and digits
      {"Office　Standard 2019", "Office 2019"},  // an ideographic space
      {"Zip", "-"},
      {"Zip77", "-"},
      {"tool", "First tool"},
      {"Toolbox", "-"},  // no wildcard: the whole name
      {"Windows 10 Tool", "-"},  // OS lines match captions only
      {"μTorrent 3.6", "uTorrent"},  // typed µ, the record's μ: what code page 932 has
  };
  for (const auto& [name, expected] : applications) EXPECT_EQ(product(m.matchApplication(name)), expected) << name;
  EXPECT_EQ(product(m.matchOs("Microsoft Windows 10 Pro 64 ビット")), "Windows 10");
  EXPECT_EQ(product(m.matchOs("Microsoft Windows 11 Pro")), "-");
  EXPECT_EQ(product(m.matchOs("Photo Viewer")), "-");
}

// The starter catalogue in docs/ reads without a bad line, and its order
// makes the free reader win over the paid product named alike.
TEST(CatalogueMatcherTest, StarterCatalogue) {
  platform::IconvCodePage codePage;
  std::ifstream in(LEDGER_DOCS_DIR "/catalogue-starter.csv", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const Catalogue c = ParseCatalogue(bytes, codePage);
  EXPECT_EQ(Problems(c), std::vector<std::string>{});
  const CatalogueMatcher m(c);
  const auto product = [&](std::optional<std::size_t> i) { return i ? c.products[*i].name : std::string("-"); };
  EXPECT_EQ(product(m.matchApplication("Microsoft Office Home and Business 2019 - ja-jp")), "Microsoft Office 2019");
  EXPECT_EQ(product(m.matchApplication("Adobe Acrobat Reader DC - Japanese")), "Adobe Acrobat Reader");
  EXPECT_EQ(product(m.matchApplication("Adobe Acrobat DC (64-bit)")), "Adobe Acrobat");
  EXPECT_EQ(product(m.matchApplication("Java 8 Update 401 (64-bit)")), "Oracle Java SE");
  EXPECT_EQ(product(m.matchOs("Microsoft Windows 11 Pro 64 ビット")), "Windows 11");
}

TEST(WildcardMatchTest, StarsBacktrackAndQuestionMarksTakeOneCharacter) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"a*b*c", "axxbyyc", true}, {"a*b*c", "axxbyy", false}, {"*", "", true},      {"?", "", false},
      {"a*c", "abcbc", true},      {"a?c", "aあc", true},      {"a??c", "aあc", false}, {"**x", "yx", true},
      {"a?c", "a\U0001F600c", true},
  };
  for (const auto& [pattern, name, expected] : cases) EXPECT_EQ(WildcardMatch(pattern, name), expected) << pattern << " " << name;
}

TEST(WindowsEndOfSupportTest, DatesByCaption) {
  const std::pair<const char*, const char*> cases[] = {
      {"Microsoft Windows XP Professional", "2014-04-08"},
      {"Windows Vista Business 32 ビット (Service Pack 2)", "2017-04-11"},
      {"Windows 7 Professional 32 ビット", "2020-01-14"},
      {"Microsoft Windows 8 Pro", "2016-01-12"},
      {"Microsoft Windows 8.1 Pro 64 ビット", "2023-01-10"},
      {"Microsoft Windows 10 Pro 64 ビット", "2025-10-14"},
      {"Microsoft Windows 10 Enterprise 2015 LTSB", "2025-10-14"},
      {"Microsoft Windows 10 Enterprise 2016 LTSB", "2026-10-13"},
      {"Microsoft Windows 10 Enterprise LTSC 2019", "2029-01-09"},
      {"Microsoft Windows 10 Enterprise LTSC 2021", "2027-01-12"},
      {"Microsoft Windows 10 IoT Enterprise LTSC 2021", "2032-01-13"},
      {"Microsoft Windows 11 Enterprise LTSC 2024", "2029-10-09"},
      {"Microsoft Windows 11 IoT Enterprise LTSC 2024", "2034-10-10"},
      {"Microsoft Windows 11 Pro", ""},
      {"Microsoft Windows 10 Enterprise LTSC", ""},
      {"Microsoft Windows Server 2008 R2 Standard", ""},
      {"Windows Embedded Standard 7", ""},
      {"Linux", ""},
  };
  for (const auto& [caption, expected] : cases) EXPECT_EQ(WindowsEndOfSupport(caption).value_or(""), expected) << caption;
}

}  // namespace
}  // namespace th::ledger

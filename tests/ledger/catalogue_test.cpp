// The catalogue file, its pattern matcher and the built-in Windows dates.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "ledger/catalogue/catalogue_match.h"
#include "ledger/checks/end_of_support.h"
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
      "Office Home 2019*,Office 2019,Other,有償,5,2030/01/01\r\n"  // the first value given stays
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

TEST_F(CatalogueFileTest, ReportsBadLinesByNumberAndKeepsTheRest) {
  const Catalogue c = ParseCatalogue(
      "pattern,product,kind,licences,end_of_support\n"
      "A,A,shareware,,\n"       // 2: unknown kind
      "B,B,paid,ten,\n"         // 3: bad number
      "C,C,paid,-1,\n"          // 4: bad number
      "D,D,paid,,2025-02-29\n"  // 5: no such day
      ",E,free,,\n"             // 6: empty pattern
      "ＯＳ：　,F,free,,\n"     // 7: nothing after OS: (full-width)
      "G,,free,,\n"             // 8: no product
      "H,H,free,,2024-02-29\n",
      codePage);
  EXPECT_EQ(Products(c), (std::vector<Row>{{"H", "", "free", std::nullopt, "2024-02-29"}}));
  std::vector<std::string> lines;
  for (const std::string& p : c.problems) lines.push_back(p.substr(0, p.find("行目")));
  EXPECT_EQ(lines, (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_NE(c.problems[0].find("shareware"), std::string::npos);
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
      "OS:*Windows 10*,Windows 10,paid\n",
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
  EXPECT_EQ(c.problems, std::vector<std::string>{});
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

#include <gtest/gtest.h>

#include "collect/software.h"
#include "fakes/fake_platform.h"
#include "support/error_log.h"

namespace th {
namespace {

const std::string kDump = "C:\\Tools\\Inv\\SAVE\\TH_reg.TxT";
const std::string kRecords = "C:\\Users\\user\\AppData\\Local\\Temp\\WKP1A2B.tmp";
const std::string kLog = "C:\\Tools\\Inv\\Error.Log";
const std::string kUninstall = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// One uninstall key as reg query lists it: the key, its values indented four
// blanks with four blanks between name, type and data, then an empty line.
std::string Key(const std::string& name, const std::vector<std::pair<std::string, std::string>>& values,
                bool closed = true) {
  std::string s = kUninstall + name + "\r\n";
  for (const auto& [n, d] : values) s += "    " + n + "    REG_SZ    " + d + "\r\n";
  return closed ? s + "\r\n" : s;
}

struct SoftCheckTest : ::testing::Test {
  test::FakePlatform p;
  RunContext ctx{p.os};
  void SetUp() override {
    SetLogFile(ctx, kLog);
    ctx.recordFilePath = kRecords;
    p.fs.addFile(kRecords, "");
    p.fs.addFolder("C:\\Tools\\Inv\\SAVE");
    ctx.rec.Key = "abc-05-0012";
    ctx.rec.Renewalday = "2026/12/06";
  }
  void dump(const std::string& utf8) { p.fs.addFile(kDump, p.codePage.toAnsi(utf8)); }
  std::string records() { return p.text(kRecords); }
  std::string run(const std::string& utf8) {
    dump("\r\n" + utf8);
    SoftCheck(ctx, kDump);
    return records();
  }
  static std::string Line(const std::string& name, const std::string& version, const std::string& unit) {
    return "abc-05-0012,Soft,Application," + name + "," + version + "," + unit + ",2026/12/06\r\n";
  }
};

TEST(RegLineData, TakesWhatFollowsTheTypeToken) {
  EXPECT_EQ(RegLineData("    DisplayName    REG_SZ    Alpha Tool"), "Alpha Tool");
  EXPECT_EQ(RegLineData("DisplayName    REG_SZ    two  blanks inside  "), "two  blanks inside");
  EXPECT_EQ(RegLineData("EstimatedSize    REG_DWORD    0x1a2b"), "0x1a2b");
  EXPECT_EQ(RegLineData("UninstallString    REG_EXPAND_SZ    %ProgramFiles%\\a b\\u.exe /x"),
            "%ProgramFiles%\\a b\\u.exe /x");
  EXPECT_EQ(RegLineData("Langs    REG_MULTI_SZ    ja\\0en"), "ja\\0en");
  EXPECT_EQ(RegLineData("DisplayName    REG_SZ    山田 ツール"), "山田 ツール");
  // Empty data, with or without trailing blanks.
  EXPECT_EQ(RegLineData("    DisplayName    REG_SZ    "), "");
  EXPECT_EQ(RegLineData("DisplayName    REG_SZ"), "");
  // No type token, or one in another case.
  EXPECT_EQ(RegLineData("ERROR: The system was unable to find the specified registry key or value."), "");
  EXPECT_EQ(RegLineData("DisplayName    reg_sz    Alpha"), "");
  EXPECT_EQ(RegLineData(""), "");
}

TEST_F(SoftCheckTest, WorkedExampleGivesExactlyTwoRecordsAndDeletesTheDump) {
  const std::string out = run(Key("A", {{"DisplayName", "Alpha Tool"}, {"DisplayVersion", "1.2"}, {"Publisher", "Alpha Works"}}) +
                              Key("B", {{"DisplayName", "Beta Update (KB1234567)"}, {"ParentDisplayName", "Beta"}}) +
                              Key("C", {{"DisplayName", "Gamma"}}));
  EXPECT_EQ(out, Line("Alpha Tool", "1.2", "Alpha Works") + Line("Gamma", "", ""));
  EXPECT_FALSE(p.fs.hasFile(kDump));
  EXPECT_FALSE(p.fs.hasFile(kLog));
  const Record expected{"abc-05-0012", "Soft", "Application", "", "", "", "2026/12/06"};
  EXPECT_EQ(std::tie(ctx.rec.Key, ctx.rec.Group, ctx.rec.Item, ctx.rec.SubItem, ctx.rec.Contents, ctx.rec.Unit,
                     ctx.rec.Renewalday),
            std::tie(expected.Key, expected.Group, expected.Item, expected.SubItem, expected.Contents, expected.Unit,
                     expected.Renewalday));
}

TEST_F(SoftCheckTest, UpdatesAreRecognisedByTheirKbNumber) {
  struct Case {
    std::string name;
    bool recorded;
  };
  const Case cases[] = {
      {"Update (KB1234567)", false},  {"Update KB123456", false},       {"KB123456", false},
      {"Update (KB12345)", true},     {"Hotfix (KB) 123456", false},    {"Hotfix (KB) 12345", true},
      {"Update (kb1234567)", true},   {"Update (Kb1234567)", true},     {"Hotfix (KB)123456", true},
      {"Hotfix (KB)  123456", true},  {"KB12 KB3456789", false},        {"ＫＢ１２３４５６", true},
      {"Tool 2024 KB 123456", true},  {"Security Update for X (KB890830)", false},
  };
  std::string dumpText, expected;
  int n = 0;
  for (const Case& c : cases) {
    dumpText += Key("K" + std::to_string(n++), {{"DisplayName", c.name}});
    if (c.recorded) expected += Line(c.name, "", "");
  }
  EXPECT_EQ(run(dumpText), expected);
}

TEST_F(SoftCheckTest, ChildAndUnnamedEntriesAreLeftOut) {
  const std::string out = run(Key("child", {{"DisplayName", "Child"}, {"ParentDisplayName", "Parent"}}) +
                              // A parent name line without data is no parent.
                              "HKEY_LOCAL_MACHINE\\x\\orphan\r\n    ParentDisplayName    REG_SZ    \r\n"
                              "    DisplayName    REG_SZ    Orphan\r\n\r\n" +
                              Key("noname", {{"Publisher", "P"}, {"DisplayVersion", "1"}}) +
                              Key("emptyname", {{"DisplayName", ""}, {"Publisher", "P"}}) +
                              "HKEY_LOCAL_MACHINE\\x\\emptykey\r\n\r\n");
  EXPECT_EQ(out, Line("Orphan", "", ""));
}

TEST_F(SoftCheckTest, ValueNamesMatchByCaseSensitivePrefixLaterLineWins) {
  const std::string out = run(Key("a", {{"DisplayName", "Plain"},
                                        {"DisplayName_Localized", "@{Pkg?ms-resource://Name}"},
                                        {"ProductId", "wrong-case"},
                                        {"displayversion", "9"},
                                        {"DisplayVersion", "1.0"},
                                        {"DisplayVersion", "2.0"},
                                        {"Publisher", "Maker"}}) +
                              // A ParentDisplayName line must not be read as a DisplayName.
                              Key("b", {{"DisplayName", "Own"}, {"ParentDisplayNameX", ""}}));
  EXPECT_EQ(out, Line("@{Pkg?ms-resource://Name}", "2.0", "Maker") + Line("Own", "", ""));
}

TEST_F(SoftCheckTest, UnitFallsBackFromProductIdToPublisherToInstallLocation) {
  const std::string out = run(Key("1", {{"DisplayName", "One"}, {"ProductID", "PID-1"}, {"Publisher", "Pub"},
                                        {"InstallLocation", "C:\\One"}}) +
                              Key("2", {{"DisplayName", "Two"}, {"Publisher", "Pub"}, {"InstallLocation", "C:\\Two"}}) +
                              Key("3", {{"DisplayName", "Three"}, {"InstallLocation", "C:\\Program Files\\Three"}}) +
                              Key("4", {{"DisplayName", "Four"}}));
  EXPECT_EQ(out, Line("One", "", "PID-1") + Line("Two", "", "Pub") + Line("Three", "", "C:\\Program Files\\Three") +
                     Line("Four", "", ""));
}

TEST_F(SoftCheckTest, IndentationAndStrayLinesDoNotMatter) {
  const std::string out = run(
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\x\r\n"
      "DisplayName    REG_SZ    No Indent\r\n"
      "          DisplayVersion    REG_SZ    3.1   \r\n"
      "   \r\n"  // blanks only: an empty line
      "エラー: 指定されたレジストリ キーまたは値が見つかりません。\r\n"
      "\r\n"
      // A key line closes the entry before it just as an empty line does.
      "HKEY_LOCAL_MACHINE\\y\r\n    DisplayName    REG_SZ    日本語 ソフト, \"版\"\r\n"
      "HKEY_LOCAL_MACHINE\\z\r\n    DisplayName    REG_SZ    Next\r\n\r\n");
  EXPECT_EQ(out, Line("No Indent", "3.1", "") + Line("日本語 ソフト 版", "", "") + Line("Next", "", ""));
  // The record file holds code page 932, as the dump did.
  EXPECT_NE(p.fs.content(kRecords).find("\x93\xFA\x96\x7B\x8C\xEA"), std::string::npos);
}

TEST_F(SoftCheckTest, ADumpCutOffAfterAValueLineKeepsItsLastEntry) {
  EXPECT_EQ(run(Key("a", {{"DisplayName", "First"}}) + Key("b", {{"DisplayName", "Last"}}, false)),
            Line("First", "", "") + Line("Last", "", ""));
  EXPECT_FALSE(p.fs.hasFile(kDump));
}

TEST_F(SoftCheckTest, MissingOrEmptyDump) {
  SoftCheck(ctx, kDump);
  EXPECT_EQ(records(), "");
  EXPECT_FALSE(p.fs.hasFile(kLog));
  EXPECT_EQ(ctx.rec.Group, "");  // returned before touching the record

  p.fs.addFile(kDump, "");
  SoftCheck(ctx, kDump);
  EXPECT_EQ(records(), "");
  EXPECT_FALSE(p.fs.hasFile(kDump));
  EXPECT_FALSE(p.fs.hasFile(kLog));
}

TEST_F(SoftCheckTest, AnUnreadableDumpIsLoggedOnceAndKept) {
  dump(Key("a", {{"DisplayName", "A"}}) + Key("b", {{"DisplayName", "B"}}));
  p.fs.unopenable.insert(kDump);
  SoftCheck(ctx, kDump);
  p.fs.unopenable.clear();
  p.fs.readFailsAfter[kDump] = 3;  // fails in the middle of entry "b"
  SoftCheck(ctx, kDump);

  EXPECT_EQ(records(), Line("A", "", ""));
  EXPECT_TRUE(p.fs.hasFile(kDump));  // not read to its end
  const std::string log = p.text(kLog);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  EXPECT_NE(log.find("\tSoftCheck\tabc-05-0012\tSoft\tApplication\t\t\t\t2026/12/06\tアクセスが拒否されました。"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\tSoftCheck\t"), log.rfind("\tSoftCheck\t"));
  EXPECT_NE(log.find("デバイスの準備ができていません。"), std::string::npos) << log;
}

TEST_F(SoftCheckTest, AFailedRecordIsLostAloneAndReadingGoesOn) {
  p.fs.unwritable.insert(kRecords);
  run(Key("a", {{"DisplayName", "A"}}) + Key("b", {{"DisplayName", "B"}}));
  const std::string log = p.text(kLog);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  EXPECT_NE(log.find("\tSaveTextSet\tabc-05-0012\tSoft\tApplication\tB\t"), std::string::npos) << log;
  EXPECT_FALSE(p.fs.hasFile(kDump));
  EXPECT_EQ(ctx.rec.SubItem, "");
}

}  // namespace
}  // namespace th

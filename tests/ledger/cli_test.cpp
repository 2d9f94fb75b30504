#include "ledger/cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ledger/records/input_files.h"

#include "ledger/progress_bar.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

ParsedCommandLine Parse(std::vector<std::string> args, std::string* printed = nullptr) {
  args.insert(args.begin(), "tallyhawk-ledger");
  std::ostringstream out, err;
  ParsedCommandLine p = ParseCommandLine(args, out, err);
  if (printed) *printed = out.str() + err.str();
  return p;
}

TEST_F(LedgerTest, CommandLine) {
  const std::string save = (dir / "SAVE").string();
  std::string help;
  EXPECT_EQ(Parse({"--help"}, &help).status, kAllTaken);
  EXPECT_NE(help.find("記録ファイル"), std::string::npos);
  EXPECT_NE(help.find("Imports record files"), std::string::npos);
  EXPECT_NE(help.find("  4  すべて取り込み書き出したが、対応の要る所見がある"), std::string::npos);
  EXPECT_NE(help.find("使い方 / Usage: tallyhawk-ledger [オプション / OPTIONS] [PATH...]\n"), std::string::npos);
  EXPECT_EQ(help.find("TEXT"), std::string::npos);  // CLI11's own type names are no help
  std::string version;
  EXPECT_EQ(Parse({"--version"}, &version).status, kAllTaken);
  EXPECT_EQ(version, "tallyhawk-ledger " TALLYHAWK_VERSION "\n");

  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {}, {"--bogus", save}, {(dir / "missing").string()}, {"--encoding", "latin1", save},
           {"--stale-days", "-1", save}, {"--register", (dir / "none.csv").string(), save},
           {"--catalogue", (dir / "none.csv").string(), save}, {"--no-report", "--open", save}}) {
    const ParsedCommandLine p = Parse(bad);
    EXPECT_FALSE(p.options);
    EXPECT_EQ(p.status, kUsageError) << (bad.empty() ? "(none)" : bad[0]);
  }

  const ParsedCommandLine p = Parse({save, "--db", "x.sqlite", "--stale-days", "30", "--export", "out",
                                     "--encoding", "cp932"});
  ASSERT_TRUE(p.options);
  EXPECT_EQ(p.options->paths, std::vector<std::string>{save});
  EXPECT_EQ(p.options->db, (fs::current_path() / "x.sqlite").string());  // printed as found again
  EXPECT_EQ(p.options->staleDays, 30);
  EXPECT_EQ(p.options->exportDir, (fs::current_path() / "out").string());
  EXPECT_EQ(p.options->encoding, ExportEncoding::Cp932);
  EXPECT_FALSE(Parse({save}).options->staleDays.has_value());
}

TEST_F(LedgerTest, StartedFromExplorerKeepsTheDatabaseBesideTheProgram) {
  const fs::path program = dir / "台帳 ツール";
  fs::create_directories(program);
  const std::string save = (dir / "SAVE").string(), besideProgram = (program / "ledger.sqlite").string();
  const std::string other = (dir / "other.sqlite").string();
  struct Case {
    std::vector<std::string> args;
    bool databaseThere;
    std::optional<std::string> db;  // no run at all when absent
    std::vector<std::string> paths;
    bool opens;
  };
  const Case cases[] = {
      {{}, false, std::nullopt, {}, false},             // a double-click on a new program: what to drop
      {{}, true, besideProgram, {}, true},              // a double-click beside a database: its report again
      {{save}, false, besideProgram, {save}, true},     // a dropped folder
      {{save, "--no-report"}, false, besideProgram, {save}, false},
      {{"--db", other, save}, false, other, {save}, true},
  };
  for (const Case& c : cases) {
    fs::remove(besideProgram);
    if (c.databaseThere) std::ofstream(besideProgram) << "";
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), (program / "tallyhawk-ledger.exe").string());
    std::ostringstream out, err;
    const ParsedCommandLine p = ParseExplorerStart(args, Utf8FromPath(program), out, err);
    const std::string label = c.args.empty() ? "(none)" : c.args.back();
    ASSERT_EQ(p.options.has_value(), c.db.has_value()) << label << err.str();
    EXPECT_EQ(p.status, c.db ? kAllTaken : kUsageError) << label;
    EXPECT_EQ(out.str().find("ドラッグ＆ドロップしてください") != std::string::npos, c.args.empty()) << label;
    if (!p.options) continue;
    EXPECT_EQ(p.options->db, *c.db) << label;
    EXPECT_EQ(p.options->paths, c.paths) << label;
    EXPECT_EQ(p.options->openReport, c.opens) << label;
  }
}

TEST_F(LedgerTest, ExitStatusTellsWhetherEveryFileWasTaken) {
  write({.key = "abc-05-0001"});
  writeBytes("~$abc-05-0001.csv", std::string("\x05yamada     \0\0", 14));  // Excel's owner file: not a record file
  Options o;
  o.paths = {(dir / "SAVE").string()};
  o.db = (dir / "run.sqlite").string();
  std::ostringstream out, err;
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kAllTaken);
  // A file cut short needs a person; the register's title and total are said once each.
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02", .assetRecords = false});
  writeBytes("../register.csv", "PC管理台帳,,\r\n,,\r\n管理番号,部署\r\nabc-05-0001,総務\r\nabc-05-0002,経理\r\n合計,2\r\n");
  o.registerFile = (dir / "register.csv").string();
  std::ostringstream said;
  EXPECT_EQ(RunLedger(o, codePage, out, said, false), kNeedsAttention);
  EXPECT_NE(said.str().find("台帳の見出しの上の1〜2行目を読み飛ばしました"), std::string::npos) << said.str();
  EXPECT_NE(said.str().find("台帳の管理番号でない1行はPCとして読みません（6行目「合計」）"), std::string::npos);
  o.registerFile.reset();
  writeBytes("junk.csv", "junk\r\n");
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kSomeRejected);
  EXPECT_NE(out.str().find("junk.csv: 見出し行が記録ファイルのものではありません"), std::string::npos);
  o.db = (dir / "no-such-folder" / "x.sqlite").string();
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kUsageError);
  writeBytes("not-a-db.sqlite", "SQLite? no, a memo that is long enough to be read as a header page.......");
  o.db = (dir / "SAVE" / "not-a-db.sqlite").string();
  std::ostringstream notDb;
  EXPECT_EQ(RunLedger(o, codePage, out, notDb, false), kUsageError);
  EXPECT_NE(notDb.str().find("データベースのファイルではありません / file is not a database"), std::string::npos)
      << notDb.str();
}

TEST(ProgressBar, DrawsOnlyForLongImportsAndOnlyWhenThePercentageMoves) {
  std::ostringstream out;
  ProgressBar bar(out);
  bar.update(1, 10);
  EXPECT_EQ(out.str(), "");
  bar.update(1, 1000);
  bar.update(2, 1000);  // still 0 %
  bar.update(500, 1000);
  bar.finish();
  EXPECT_EQ(out.str(), "\r[------------------------------] 0% 1/1000\r[###############---------------] 50% 500/1000\n");
}

}  // namespace
}  // namespace th::ledger::test

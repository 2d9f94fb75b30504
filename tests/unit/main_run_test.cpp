#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "run/main_run.h"

namespace th {
namespace {

const std::string kSave = "C:\\Tools\\Inv\\SAVE\\";
const std::string kDump = kSave + "TH_reg.TxT";
const std::string kLog = "C:\\Tools\\Inv\\Error.Log";

struct MainRunTest : ::testing::Test {
  test::FakePlatform p;
  void dump(const std::string& bytes) { p.fs.addFile(kDump, bytes); }
  void workingFiles() {
    p.fs.addFile(kSave + "Runas.CMD", "x");
    p.fs.addFile(kSave + "RegScan.CMD", "x");
  }
  bool anyWorkingFile() {
    return p.fs.hasFile(kSave + "Runas.CMD") || p.fs.hasFile(kSave + "RegScan.CMD") || p.fs.hasFile(kDump);
  }
};

TEST_F(MainRunTest, SecondInstanceEndsAtOnceTouchingNothing) {
  p.ui.firstInstance = false;
  const auto files = p.fs.files;
  const auto folders = p.fs.folders;
  Main(p.os);
  EXPECT_EQ(p.fs.files, files);
  EXPECT_EQ(p.fs.folders, folders);
  EXPECT_TRUE(p.ui.events.empty());
  EXPECT_TRUE(p.processes.started.empty());
  EXPECT_TRUE(p.clock.sleeps.empty());
}

TEST_F(MainRunTest, MissingDumpRunsTheScanThenEndsOnTheErrorPathSilently) {
  workingFiles();
  Main(p.os);
  ASSERT_EQ(p.processes.started.size(), 2u);  // TrustLevel.CMD, then the fallback scan
  EXPECT_EQ(p.processes.started[1].commandLine, "cmd /c \"\"C:\\Tools\\Inv\\SAVE\\RegScan.CMD\"\"");
  EXPECT_EQ(p.processes.started[1].show, platform::kShowMinimized);
  EXPECT_EQ(p.clock.sleeps.size(), 36u);  // 30 s, then 6 s, polled once a second
  EXPECT_TRUE(p.ui.events.empty());
  EXPECT_FALSE(anyWorkingFile());
  const std::string log = p.text(kLog);
  EXPECT_EQ(log.rfind("2026/12/06 09:05:07 \tPC01\tMain\t\t\t\t\t\t\t\t", 0), 0u) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

TEST_F(MainRunTest, DumpPresentAfterTheFirstWaitSkipsTheFallbackScan) {
  dump("\r\nHKEY_LOCAL_MACHINE\\x\r\n");
  Main(p.os);
  ASSERT_EQ(p.processes.started.size(), 1u);  // TrustLevel.CMD only
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd /c \"\"C:\\Tools\\Inv\\SAVE\\TrustLevel.CMD\"\"");
  EXPECT_EQ(p.clock.sleeps.size(), 36u);
}

TEST_F(MainRunTest, ExactCancelMarkerEndsTheRunWithItsMessage) {
  workingFiles();
  dump("UAC_Cancel \r\n");
  Main(p.os);
  EXPECT_EQ(p.ui.events, (std::vector<std::string>{"box インベントリ収集: キャンセルしたので、データ収集を中止しました。"}));
  EXPECT_FALSE(anyWorkingFile());
  EXPECT_FALSE(p.fs.hasFile(kLog));
}

TEST_F(MainRunTest, ANearMarkerIsNoCancel) {
  for (const std::string& content : {std::string("UAC_Cancel\r\n"), std::string("uac_cancel \r\n"),
                                     std::string("\r\nUAC_Cancel \r\n"), std::string(""),
                                     std::string("UAC_Cancel  \r\n")}) {
    test::FakePlatform q;
    q.fs.addFile(kDump, content);
    Main(q.os);
    ASSERT_FALSE(q.ui.events.empty());
    EXPECT_EQ(q.ui.events[0], "entry form") << content;
  }
}

TEST_F(MainRunTest, EntryLeftWithoutConfirmingEndsWithTheStopMessage) {
  workingFiles();
  dump("\r\n");
  p.ui.entry = {};  // closed: empty values, flag false
  Main(p.os);
  EXPECT_EQ(p.ui.events, (std::vector<std::string>{"entry form", "box インベントリ収集: データ収集を中止しました。"}));
  EXPECT_FALSE(anyWorkingFile());
}

TEST_F(MainRunTest, ConfirmedEntryBecomesTheKeyAndShowsTheStartNotice) {
  dump("\r\n");
  p.ui.entry = {"abc-05-0012", "山田", "太郎", true};
  Main(p.os);
  ASSERT_GE(p.ui.events.size(), 2u);
  EXPECT_EQ(p.ui.events[1], "notice 1");
}

TEST_F(MainRunTest, SaveIsMadeInTheCurrentFolderAndBesideTheProgram) {
  p.fs.current = "D:\\Launch";
  p.fs.addFolder("D:\\Launch");
  p.fs.folders.erase("C:\\Tools\\Inv\\SAVE");
  Main(p.os);
  EXPECT_TRUE(p.fs.folderExists("D:\\Launch\\SAVE"));
  EXPECT_TRUE(p.fs.folderExists("C:\\Tools\\Inv\\SAVE"));
  EXPECT_TRUE(p.fs.hasFile(kLog));  // beside the program, not in D:\Launch
  EXPECT_FALSE(p.fs.hasFile("D:\\Launch\\Error.Log"));
}

}  // namespace
}  // namespace th

#include <gtest/gtest.h>

#include <utility>

#include "collect/asset_info.h"
#include "fakes/fake_platform.h"
#include "run/delivery.h"
#include "support/error_log.h"

namespace th {
namespace {

struct DeliveryTest : ::testing::Test {
  test::FakePlatform p;
  RunContext ctx{p.os};
  const std::string work = "C:\\Users\\user\\AppData\\Local\\Temp\\WKP1A2B.tmp";
  const std::string dest = "C:\\Tools\\Inv\\SAVE\\abc-05-0012.csv";
  // A record file written on a given PC on a given day.
  static std::string Record(const std::string& pc, const std::string& day, const std::string& soft = "",
                            const std::string& board = "{4C4C4544-0001}") {
    return "Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n"
           "abc-05-0012,LAN,LAN,コンピュータ名," + pc + ",," + day + "\r\n"
           "abc-05-0012,WMI,MotherBoard,Device_ID," + board + ",," + day + "\r\n"
           "abc-05-0012,Soft,Application," + soft + ",1.0,," + day + "\r\n";
  }
  const std::string logFile = "C:\\Tools\\Inv\\Error.Log";
  std::string log() { return p.text(logFile); }
  void SetUp() override {
    p.fs.addFolder("C:\\Tools\\Inv\\SAVE");
    p.fs.addFile(work, p.codePage.toAnsi(Record("PC-BETA", "2026/12/06")));
    ctx.recordFilePath = work;
    ctx.destinationPath = dest;
    SetLogFile(ctx, logFile);
  }
};

TEST_F(DeliveryTest, FirstAttemptSucceedsOpensTheFolderAndShowsSuccess) {
  Deliver(ctx);
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));
  EXPECT_TRUE(p.clock.sleeps.empty());
  ASSERT_EQ(p.processes.started.size(), 1u);
  EXPECT_EQ(p.processes.started[0].commandLine, "explorer \"C:\\Tools\\Inv\\SAVE\\\"");
  EXPECT_EQ(p.processes.started[0].show, platform::kShowNormal);
  EXPECT_EQ(p.processes.pumpedWaits, 0);  // Explorer is not waited for
  EXPECT_EQ(p.ui.events, (std::vector<std::string>{"close notice", "modal notice 8"}));
}

TEST_F(DeliveryTest, ThirdAttemptSucceedsAfterTwoPauses) {
  p.fs.copyFailures = 4;  // two attempts of two copy calls each
  Deliver(ctx);
  EXPECT_EQ(p.clock.sleeps, (std::vector<std::uint32_t>{100, 100}));
  EXPECT_EQ(p.ui.pumps, 2);  // once between the two tries of each failed attempt
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");
}

TEST_F(DeliveryTest, TenFailuresPauseTenTimesLogOnceAndReportFailureWithoutExplorer) {
  p.fs.folders.erase("C:\\Tools\\Inv\\SAVE");
  Deliver(ctx);
  EXPECT_EQ(p.clock.sleeps.size(), 10u);
  EXPECT_TRUE(p.processes.started.empty());
  EXPECT_EQ(p.ui.events, (std::vector<std::string>{"close notice", "modal notice 7"}));
  EXPECT_EQ(log(), "2026/12/06 09:05:07 \tPC01\tCopyFileRetry\t\t\t\t\t\t\t\tパスが見つかりません。\r\n");
}

// A copy cut off by a full drive, or one that cannot be read back, must not
// pass for a delivery: the run's own copy goes again.
TEST_F(DeliveryTest, ACopyCutOffOrNotVerifiedIsNotLeftAsADelivery) {
  for (bool cutOff : {true, false}) {
    test::FakePlatform q;
    RunContext run{q.os};
    q.fs.addFolder("C:\\Tools\\Inv\\SAVE");
    q.fs.addFile(work, "records");
    if (cutOff) {
      q.fs.copiesCutOff = true;
    } else {
      q.fs.unreadable.insert(q.fs.full(dest));  // made, but it cannot be read back
    }
    run.recordFilePath = work;
    run.destinationPath = dest;
    Deliver(run);
    EXPECT_FALSE(q.fs.hasFile(dest)) << cutOff;
    EXPECT_EQ(q.clock.sleeps.size(), 10u) << cutOff;
    EXPECT_EQ(q.ui.events.back(), "modal notice 7") << cutOff;
  }
}

TEST_F(DeliveryTest, AFailedDeliveryLeavesAnEarlierFileAlone) {
  p.fs.addFile(dest, p.codePage.toAnsi(Record("PC-BETA", "2026/12/01")));
  p.fs.copyFailures = 20;  // held open by another program
  Deliver(ctx);
  EXPECT_EQ(p.text(dest), Record("PC-BETA", "2026/12/01"));
  EXPECT_EQ(p.ui.events.back(), "modal notice 7");
}

// What stands at the destination after the earlier file went (a folder, or a
// file someone made in the moment between) is not the run's: never opened.
TEST_F(DeliveryTest, AFailedDeliveryLeavesAFolderStandingAtTheDestinationAsItWas) {
  p.fs.addFolder(dest);
  p.fs.attributes[dest] = 0x3;  // read-only, hidden
  Deliver(ctx);
  EXPECT_TRUE(p.fs.folderExists(dest));
  EXPECT_EQ(p.fs.attributes[dest], 0x3u);
  EXPECT_EQ(log(), "2026/12/06 09:05:07 \tPC01\tCopyFileRetry\t\t\t\t\t\t\t\t保存先に、このプログラムが作ったのではない"
                   "ファイルかフォルダーがあります。書き込まずに保存を中止しました。 (既に存在します。)\r\n");
  EXPECT_EQ(p.ui.events.back(), "modal notice 7");
}

// The report always goes into a file the run creates new: this PC's earlier
// file is renamed first (another name of it, such as a colleague's hard
// link, keeps the earlier report) and removed once the new one is verified.
TEST_F(DeliveryTest, ThisPcsEarlierFileMakesWayAndGoesOnceTheNewOneIsThere) {
  const std::string aside = "C:\\Tools\\Inv\\SAVE\\abc-05-0012 (前回 2026-12-01 PC-BETA).csv";
  p.fs.addFile(dest, p.codePage.toAnsi(Record("PC-BETA", "2026/12/01", "Old Tool")));
  Deliver(ctx);
  EXPECT_EQ(p.fs.log, (std::vector<std::string>{"move " + dest + " -> " + aside, "copy new " + dest,
                                                "remove " + aside}));
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));
  EXPECT_EQ(p.fs.search("C:\\Tools\\Inv\\SAVE\\").size(), 3u);  // ".", "..", the file
  EXPECT_FALSE(p.fs.hasFile(logFile));
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");
}

// Another PC's file, or one whose origin cannot be told, is renamed beside
// the new one; a name already taken gets a number.
TEST_F(DeliveryTest, AnotherPcsFileIsSetAsideUnderItsDayAndName) {
  const std::string aside = "C:\\Tools\\Inv\\SAVE\\abc-05-0012 (前回 2026-12-01 PC-ALPHA).csv";
  const std::string aside2 = "C:\\Tools\\Inv\\SAVE\\abc-05-0012 (前回 2026-12-01 PC-ALPHA 2).csv";
  p.fs.addFile(aside, "set aside before");
  p.fs.addFile(dest, p.codePage.toAnsi(Record("PC-ALPHA", "2026/12/01")));
  Deliver(ctx);
  EXPECT_EQ(p.text(aside2), Record("PC-ALPHA", "2026/12/01"));
  EXPECT_EQ(p.fs.content(aside), "set aside before");
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");

  p.fs.addFile(dest, "not a record file");
  Deliver(ctx);
  EXPECT_EQ(p.fs.content("C:\\Tools\\Inv\\SAVE\\abc-05-0012 (前回).csv"), "not a record file");
}

TEST_F(DeliveryTest, AnotherPcsFileThatCannotBeSetAsideIsNotOverwritten) {
  const std::string earlier = Record("PC-ALPHA", "2026/12/01");
  p.fs.addFile(dest, p.codePage.toAnsi(earlier));
  // The rename fails (here: a folder holds the name it would take).
  p.fs.folders.insert(p.fs.full("C:\\Tools\\Inv\\SAVE\\abc-05-0012 (前回 2026-12-01 PC-ALPHA).csv"));
  Deliver(ctx);
  EXPECT_EQ(p.text(dest), earlier);
  EXPECT_TRUE(p.processes.started.empty());
  EXPECT_EQ(p.ui.events, (std::vector<std::string>{"close notice", "modal notice 7"}));
  EXPECT_EQ(p.clock.sleeps.size(), 9u);  // tried ten times, as a held file may be free a moment later
}

// A PC is told by its computer name and its board together: the same name
// on another board is another PC, whose file is kept.
TEST_F(DeliveryTest, TheSameComputerNameOnAnotherBoardIsAnotherPc) {
  const std::string earlier = Record("PC-BETA", "2026/12/01", "", "{4C4C4544-0002}");
  p.fs.addFile(dest, p.codePage.toAnsi(earlier));
  Deliver(ctx);
  EXPECT_EQ(p.text("C:\\Tools\\Inv\\SAVE\\abc-05-0012 (前回 2026-12-01 PC-BETA).csv"), earlier);
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));
}

// Another run moved the earlier file aside first: the rename fails because
// there is nothing left to rename, which is no failure.
TEST_F(DeliveryTest, AnEarlierFileMovedAsideMeanwhileIsNoFailure) {
  const std::string other = "C:\\Tools\\Inv\\SAVE\\abc-05-0012 (moved by another run).csv";
  p.fs.addFile(dest, p.codePage.toAnsi(Record("PC-ALPHA", "2026/12/01")));
  p.fs.beforeMove = [&](const std::string& from) {
    if (p.fs.hasFile(from)) p.fs.files[p.fs.full(other)] = std::exchange(p.fs.files[p.fs.full(from)], {});
    p.fs.files.erase(p.fs.full(from));
  };
  Deliver(ctx);
  EXPECT_EQ(p.text(other), Record("PC-ALPHA", "2026/12/01"));
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");
  EXPECT_FALSE(p.fs.hasFile(logFile));
  EXPECT_TRUE(p.clock.sleeps.empty());  // not taken for a held file and tried again
}

// An earlier file whose own words would make a name too long, or that finds
// every numbered name taken, still goes aside, and the report is delivered.
TEST_F(DeliveryTest, AHostileEarlierFileStillGoesAside) {
  const std::string save = "C:\\Tools\\Inv\\SAVE\\";
  const std::string longName(300, 'P');
  p.fs.addFile(dest, p.codePage.toAnsi(Record(longName, "2026/12/01")));
  Deliver(ctx);
  // "前回 2026-12-01 " is 14 characters: 42 of the name's make the 56.
  EXPECT_EQ(p.text(save + "abc-05-0012 (前回 2026-12-01 " + std::string(42, 'P') + ").csv"),
            Record(longName, "2026/12/01"));
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));

  p.fs.addFile(dest, p.codePage.toAnsi(Record("PC-ALPHA", "2026/12/02")));
  p.fs.addFile(save + "abc-05-0012 (前回 2026-12-02 PC-ALPHA).csv", "planted");
  for (int n = 2; n <= 100; ++n) {
    p.fs.addFile(save + "abc-05-0012 (前回 2026-12-02 PC-ALPHA " + std::to_string(n) + ").csv", "planted");
  }
  Deliver(ctx);
  EXPECT_EQ(p.text(save + "abc-05-0012 (前回 0123456789ABCDEF).csv"), Record("PC-ALPHA", "2026/12/02"));
  EXPECT_EQ(p.fs.content(save + "abc-05-0012 (前回 2026-12-02 PC-ALPHA 100).csv"), "planted");
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");
}

// The copy's own outcome: the first try's when it went through, else the
// second's, tried once pending window events have run.
TEST_F(DeliveryTest, CopyFileRetryTellsHowTheCopyEnded) {
  EXPECT_TRUE(CopyFileRetry(ctx, work, dest).done());
  EXPECT_EQ(p.ui.pumps, 0);
  p.fs.files.erase(dest);
  p.fs.copyFailures = 1;
  EXPECT_TRUE(CopyFileRetry(ctx, work, dest).done());
  EXPECT_EQ(p.ui.pumps, 1);
  const auto taken = CopyFileRetry(ctx, work, dest);  // never into the file there
  EXPECT_EQ(taken.outcome.result, platform::FileResult::kExists);
  EXPECT_EQ(p.ui.pumps, 2);
}

// A destination held by another program or refused to this user: each
// outcome reaches Error.Log once, with the system's words (after what they
// mean for an earlier file: it stays, someone else's), under the procedure
// that met it, and nothing is overwritten.
TEST_F(DeliveryTest, HeldAndDeniedDestinationsAreLoggedWithTheirOwnDescription) {
  struct Case {
    platform::FileResult refusal;
    bool earlierFile;  // another PC's file stands at the destination
    const char* procedure;
    const char* description;
  };
  const Case cases[] = {
      {platform::FileResult::kHeld, true, "SetAsideEarlierFile",
       "前回のファイルは別のプログラムが開いているため、移動も削除もできません。上書きせずに保存を中止しました。"
       "(別のプロセスが使用中のため、このファイルにアクセスできません。)"},
      {platform::FileResult::kDenied, true, "SetAsideEarlierFile",
       "前回のファイルは別のユーザーのもので、移動も削除もできません。上書きせずに保存を中止しました。"
       "(アクセスが拒否されました。)"},
      {platform::FileResult::kHeld, false, "CopyFileRetry", "別のプロセスが使用中のため、このファイルにアクセスできません。"},
      {platform::FileResult::kDenied, false, "CopyFileRetry", "アクセスが拒否されました。"},
  };
  for (const Case& c : cases) {
    test::FakePlatform q;
    RunContext run{q.os};
    q.fs.addFolder("C:\\Tools\\Inv\\SAVE");
    q.fs.addFile(work, q.codePage.toAnsi(Record("PC-BETA", "2026/12/06")));
    if (c.earlierFile) q.fs.addFile(dest, "earlier");
    q.fs.refused[dest] = c.refusal;
    run.recordFilePath = work;
    run.destinationPath = dest;
    SetLogFile(run, logFile);
    Deliver(run);
    const std::string what = std::string(c.procedure) + " " + c.description;
    EXPECT_EQ(q.text(logFile), std::string("2026/12/06 09:05:07 \tPC01\t") + c.procedure + "\t\t\t\t\t\t\t\t" +
                                   c.description + "\r\n")
        << what;
    EXPECT_EQ(q.fs.content(dest), c.earlierFile ? "earlier" : "") << what;
    EXPECT_EQ(q.clock.sleeps.size(), c.earlierFile ? 9u : 10u) << what;  // tried again each time
    EXPECT_EQ(q.ui.events.back(), "modal notice 7") << what;
  }
}

TEST_F(DeliveryTest, OnlyAnEqualComparisonVerifies) {
  auto copy = p.fs.copyNew(work, dest);
  ASSERT_TRUE(copy.done());
  EXPECT_TRUE(VerifyCopy(ctx, work, *copy.value));
  p.fs.files[dest] = "different";
  EXPECT_FALSE(VerifyCopy(ctx, work, *copy.value));
  p.fs.files[dest] = p.fs.content(work);
  p.fs.unreadable.insert(p.fs.full(dest));  // there but cannot be read
  EXPECT_FALSE(VerifyCopy(ctx, work, *copy.value));
  p.fs.unreadable.clear();
  p.fs.files.erase(work);  // the source gone
  EXPECT_FALSE(VerifyCopy(ctx, work, *copy.value));
}

TEST(SaveInputData, WritesPresentValuesInOrderAndNamesTheDestination) {
  test::FakePlatform p;
  RunContext ctx{p.os};
  ctx.recordFilePath = "C:\\w.tmp";
  ctx.outputFolder = ".\\SAVE\\";
  ctx.rec.Key = "abc-05-0012";
  ctx.rec.Renewalday = "2026/12/06";
  ctx.entry = {"abc-05-0012", "山田", "", true};
  SaveInputData(ctx);
  EXPECT_EQ(p.text("C:\\w.tmp"),
            "abc-05-0012,資産,管理情報,姓,山田,,2026/12/06\r\n"
            "abc-05-0012,資産,管理情報,管理番号,abc-05-0012,,2026/12/06\r\n");
  EXPECT_EQ(ctx.destinationPath, "C:\\Tools\\Inv\\SAVE\\abc-05-0012.csv");
}

TEST(SaveInputData, EmptyNumberGivesADotCsvAndNoRecords) {
  test::FakePlatform p;
  RunContext ctx{p.os};
  ctx.recordFilePath = "C:\\w.tmp";
  ctx.outputFolder = "C:\\Users\\user\\Desktop\\SAVE\\";
  SaveInputData(ctx);
  EXPECT_FALSE(p.fs.hasFile("C:\\w.tmp"));
  EXPECT_EQ(ctx.destinationPath, "C:\\Users\\user\\Desktop\\SAVE\\.csv");
  EXPECT_EQ(ctx.rec.Group, "資産");
}

}  // namespace
}  // namespace th

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
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
  static constexpr const char* kSave = "C:\\Tools\\Inv\\SAVE\\";
  // The new report's own name while it is made, on the first attempt.
  const std::string fresh = std::string(kSave) + "abc-05-0012 (保存中 0123456789ABCDEF).tmp";
  // One Error.Log entry as this run writes it.
  static std::string Entry(const std::string& procedure, const std::string& description) {
    return "2026/12/06 09:05:07 \tPC01\t" + procedure + "\t\t\t\t\t\t\t\t" + description + "\r\n";
  }
  // Every file in SAVE: its name and its bytes.
  static std::map<std::string, std::string> Save(test::FakePlatform& q) {
    std::map<std::string, std::string> found;
    for (const auto& [path, bytes] : q.fs.files) {
      if (path.rfind(kSave, 0) == 0) found[path.substr(std::string(kSave).size())] = bytes;
    }
    return found;
  }
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

TEST_F(DeliveryTest, AFailedDeliveryLeavesAnEarlierFileAlone) {
  p.fs.addFile(dest, p.codePage.toAnsi(Record("PC-BETA", "2026/12/01")));
  p.fs.copyFailures = 20;  // held open by another program
  Deliver(ctx);
  EXPECT_EQ(p.text(dest), Record("PC-BETA", "2026/12/01"));
  EXPECT_EQ(p.ui.events.back(), "modal notice 7");
}

// The report is made whole under a name of its own (copied, flushed, checked
// through the run's handle, closed), then put in place in one rename: over
// this PC's own earlier report (another name of it, such as a colleague's
// hard link, keeps the earlier report), or into the name another file was set
// aside from. Whichever step fails, no report is lost: SAVE holds the earlier
// one or the new one, never neither, nothing half made, and each failing step
// leaves one Error.Log entry.
TEST_F(DeliveryTest, EachStepThatFailsLosesNoReportAndLogsOnce) {
  const std::string own = Record("PC-BETA", "2026/12/01", "Old Tool");
  const std::string other = Record("PC-ALPHA", "2026/12/01");
  const std::string aside = "abc-05-0012 (前回 2026-12-01 PC-ALPHA).csv";
  const std::string ownAside = "abc-05-0012 (前回 2026-12-01 PC-BETA).csv";
  const std::string full = "ディスクに十分な空き領域がありません。";
  const std::string taken = "既に存在します。";
  struct Case {
    const char* what;
    const std::string* earlier;  // what stands at the destination before the run, if anything
    std::function<void(test::FakePlatform&)> fault;
    std::map<std::string, std::string> save;  // "new": the run's report
    std::string log;
  };
  auto colleagueTakesTheName = [&](test::FakePlatform& q) {
    q.fs.beforeMove = [&q, this](const std::string& from) {
      if (from == fresh) q.fs.files[dest] = "colleague";
    };
  };
  const Case cases[] = {
      {"nothing fails", &own, {}, {{"abc-05-0012.csv", "new"}}, ""},
      {"no earlier file", nullptr, {}, {{"abc-05-0012.csv", "new"}}, ""},
      {"flush", &own, [](test::FakePlatform& q) { q.fs.failingCopySteps["flush"] = platform::FileResult::kFailed; },
       {{"abc-05-0012.csv", own}}, Entry("CopyFileRetry", "コピーをディスクに書き切れませんでした。 (" + full + ")")},
      {"check", &own, [this](test::FakePlatform& q) {
         q.system.randomStep = 0;  // every attempt under the same name
         q.fs.unreadable.insert(fresh);
       }, {{"abc-05-0012.csv", own}},
       Entry("CopyFileRetry", "コピーを元のファイルと照合できませんでした。")},
      {"close", &own, [](test::FakePlatform& q) { q.fs.failingCopySteps["close"] = platform::FileResult::kFailed; },
       {{"abc-05-0012.csv", own}}, Entry("CopyFileRetry", "コピーを閉じるときに書き込みが失敗しました。 (" + full + ")")},
      {"copy cut off", &own, [](test::FakePlatform& q) { q.fs.copiesCutOff = true; }, {{"abc-05-0012.csv", own}},
       Entry("CopyFileRetry", full)},
      {"replace", &own, [this](test::FakePlatform& q) { q.fs.replaceRefused[dest] = platform::FileResult::kFailed; },
       {{"abc-05-0012.csv", own}},
       Entry("Deliver", "前回のファイルを新しいファイルに置き換えられませんでした。前回のファイルはそのまま残っています。 (" +
                            full + ")")},
      {"replace, the earlier report open in a viewer that shares deleting", &own,
       [this](test::FakePlatform& q) { q.fs.replaceRefused[dest] = platform::FileResult::kDenied; },
       {{"abc-05-0012.csv", "new"}}, ""},
      {"replace and set aside, the earlier report held open", &own, [this](test::FakePlatform& q) { q.fs.held[dest] = 1; },
       {{"abc-05-0012.csv", own}},
       Entry("SetAsideEarlierFile", "前回のファイルは別のプログラムが開いているため、移動も削除もできません。上書きせずに保存を中止しました。"
                                    "(別のプロセスが使用中のため、このファイルにアクセスできません。)")},
      {"this PC's file, another user's", &own, [this](test::FakePlatform& q) { q.fs.owners[dest] = "S-1-5-21-9"; },
       {{"abc-05-0012.csv", "new"}, {ownAside, own}}, ""},
      {"name taken after the earlier file went, and so no way back", &other, colleagueTakesTheName,
       {{"abc-05-0012.csv", "colleague"}, {aside, other}},
       Entry("Deliver", "保存先に、このプログラムが作ったのではないファイルかフォルダーがあります。書き込まずに保存を中止しました。 (" +
                            taken + ")") +
           Entry("Deliver", "退避した前回のファイルを元の名前に戻せませんでした。退避した名前のまま残っています。 (" + taken +
                                ")")},
      {"a folder at the destination", nullptr, [this](test::FakePlatform& q) { q.fs.addFolder(dest); }, {},
       Entry("Deliver", "保存先に、このプログラムが作ったのではないファイルかフォルダーがあります。書き込まずに保存を中止しました。 (" +
                            taken + ")")},
      {"name taken with no earlier file", nullptr, colleagueTakesTheName, {{"abc-05-0012.csv", "colleague"}},
       Entry("Deliver", "保存先に、このプログラムが作ったのではないファイルかフォルダーがあります。書き込まずに保存を中止しました。 (" +
                            taken + ")")},
  };
  for (const Case& c : cases) {
    test::FakePlatform q;
    RunContext run{q.os};
    q.fs.addFolder(kSave);
    const std::string report = q.codePage.toAnsi(Record("PC-BETA", "2026/12/06"));
    q.fs.addFile(work, report);
    if (c.earlier) q.fs.addFile(dest, q.codePage.toAnsi(*c.earlier));
    if (c.fault) c.fault(q);
    run.recordFilePath = work;
    run.destinationPath = dest;
    SetLogFile(run, logFile);
    Deliver(run);
    q.fs.held.clear();
    std::map<std::string, std::string> expected;
    for (const auto& [name, bytes] : c.save) expected[name] = bytes == "new" ? report : q.codePage.toAnsi(bytes);
    EXPECT_EQ(Save(q), expected) << c.what;
    EXPECT_EQ(q.text(logFile), c.log) << c.what;
    EXPECT_EQ(q.ui.events.back(), c.log.empty() ? "modal notice 8" : "modal notice 7") << c.what;
  }
}

// Explorer draws the icons of what the folder holds, fetching them from
// wherever a shortcut or a folder's desktop.ini says: with one of those in
// SAVE the folder is not opened (the report is there all the same).
TEST_F(DeliveryTest, TheFolderIsNotOpenedOnFilesThatWouldMakeExplorerReachOut) {
  const std::pair<std::string, bool> cases[] = {
      {"notes.txt", true}, {"readme.lnk.txt", true}, {"Report.LNK", false}, {"news.url", false},
      {"x.scf", false}, {"old\\desktop.ini", false}, {"Desktop.ini", false}, {"x.library-ms", false},
  };
  for (const auto& [planted, opened] : cases) {
    test::FakePlatform q;
    RunContext run{q.os};
    q.fs.addFile(std::string(kSave) + planted, "[.ShellClassInfo]");
    q.fs.addFile(work, "records");
    run.recordFilePath = work;
    run.destinationPath = dest;
    SetLogFile(run, logFile);
    Deliver(run);
    EXPECT_EQ(q.processes.started.size(), opened ? 1u : 0u) << planted;
    EXPECT_EQ(q.text(logFile), opened ? "" : Entry("Main", "保存先フォルダーに、表示すると別のコンピューターへ接続するおそれのある"
                                                            "ファイル (ショートカットなど) があるため、フォルダーを開きませんでした。"))
        << planted;
    EXPECT_EQ(q.fs.content(dest), "records") << planted;
    EXPECT_EQ(q.ui.events.back(), "modal notice 8") << planted;
  }
}

TEST_F(DeliveryTest, ThisPcsEarlierReportIsReplacedInOneStepOnceTheNewOneIsWhole) {
  p.fs.addFile(dest, p.codePage.toAnsi(Record("PC-BETA", "2026/12/01", "Old Tool")));
  Deliver(ctx);
  EXPECT_EQ(p.fs.log, (std::vector<std::string>{"copy new " + fresh, "flush " + fresh, "close " + fresh,
                                                "replace " + fresh + " -> " + dest}));
  EXPECT_EQ(p.fs.content(dest), p.fs.content(work));
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
    if (from != dest) return;
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
  // The third random number: each delivery's new report took one before it.
  EXPECT_EQ(p.text(save + "abc-05-0012 (前回 0123456789ABCDF1).csv"), Record("PC-ALPHA", "2026/12/02"));
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
// that met it, and nothing is overwritten. So does an earlier file that
// finds every name to go aside under taken: looked for once, not ten times.
TEST_F(DeliveryTest, HeldAndDeniedDestinationsAreLoggedWithTheirOwnDescription) {
  struct Case {
    std::optional<platform::FileResult> refusal;
    bool earlierFile;  // another PC's file stands at the destination
    const char* procedure;
    const char* description;
    std::size_t pauses;
  };
  const Case cases[] = {
      {platform::FileResult::kHeld, true, "SetAsideEarlierFile",
       "前回のファイルは別のプログラムが開いているため、移動も削除もできません。上書きせずに保存を中止しました。"
       "(別のプロセスが使用中のため、このファイルにアクセスできません。)", 9},
      {platform::FileResult::kDenied, true, "SetAsideEarlierFile",
       "前回のファイルは別のユーザーのもので、移動も削除もできません。上書きせずに保存を中止しました。"
       "(アクセスが拒否されました。)", 9},
      {std::nullopt, true, "SetAsideEarlierFile", "前回のファイルを退避する名前が空いていません。", 0},
      {platform::FileResult::kHeld, false, "Deliver",
       "新しいファイルを保存先の名前にできませんでした。 (別のプロセスが使用中のため、このファイルにアクセスできません。)", 0},
      {platform::FileResult::kDenied, false, "Deliver",
       "新しいファイルを保存先の名前にできませんでした。 (アクセスが拒否されました。)", 0},
  };
  for (const Case& c : cases) {
    test::FakePlatform q;
    RunContext run{q.os};
    q.fs.addFolder(kSave);
    q.fs.addFile(work, q.codePage.toAnsi(Record("PC-BETA", "2026/12/06")));
    if (c.earlierFile) q.fs.addFile(dest, "earlier");
    if (c.refusal) {
      q.fs.refused[dest] = *c.refusal;
    } else {  // every name taken: the numbered ones and the unguessable one (the same number each time)
      q.system.randomStep = 0;
      q.fs.addFile(std::string(kSave) + "abc-05-0012 (前回).csv", "planted");
      for (int n = 2; n <= 100; ++n) q.fs.addFile(std::string(kSave) + "abc-05-0012 (前回 " + std::to_string(n) + ").csv", "planted");
      q.fs.addFile(std::string(kSave) + "abc-05-0012 (前回 0123456789ABCDEF).csv", "planted");
    }
    run.recordFilePath = work;
    run.destinationPath = dest;
    SetLogFile(run, logFile);
    Deliver(run);
    const std::string what = std::string(c.procedure) + " " + c.description;
    EXPECT_EQ(q.text(logFile), Entry(c.procedure, c.description)) << what;
    EXPECT_EQ(q.fs.content(dest), c.earlierFile ? "earlier" : "") << what;
    EXPECT_EQ(q.clock.sleeps.size(), c.pauses) << what;  // a held file is tried again
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

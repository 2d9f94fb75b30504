#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "support/process_exec.h"

namespace th {
namespace {

TEST(ShellWait, StartsTheSystemsCmdWithTheCommandUnchangedAndWaitsPumping) {
  test::FakePlatform p;
  EXPECT_EQ(ShellWait(p.os, "cmd /c \"C:\\a b\\x.CMD\"", platform::kShowMinimized), 0);
  ASSERT_EQ(p.processes.started.size(), 1u);
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd /c \"C:\\a b\\x.CMD\"");
  EXPECT_EQ(p.processes.started[0].show, platform::kShowMinimized);
  EXPECT_EQ(p.processes.started[0].program, platform::SystemProgram::kCmd);
  EXPECT_EQ(p.processes.started[0].folder, "");  // the system folder
  EXPECT_EQ(p.processes.pumpedWaits, 1);
}

TEST(ShellWait, AStartThatFailsGivesMinusOneWithoutWaiting) {
  test::FakePlatform p;
  p.processes.onStart = [](const std::string&) { throw Failure("指定されたファイルが見つかりません。"); };
  EXPECT_EQ(ShellWait(p.os, "nosuchprogram.exe", platform::kHide), -1);
  EXPECT_EQ(p.processes.pumpedWaits, 0);
}

// cmd would expand %OS% between the quotes and run C:\x Windows_NT y\a.CMD.
// Run from the file's own folder; cmd would expand %OS% between the quotes
// and run C:\x Windows_NT y\a.CMD, so such a path goes by its bare name.
TEST(ShellWaitOnPath, RunsFromTheFilesFolderAndAPathWithPercentByItsBareName) {
  test::FakePlatform p;
  EXPECT_EQ(ShellWaitOnPath(p.os, "cmd /c ", "C:\\x %OS% y\\a.CMD", DQuote, platform::kHide), 0);
  ShellWaitOnPath(p.os, "cmd /c ", "C:\\plain\\a.CMD", DQuote, platform::kHide);
  ASSERT_EQ(p.processes.started.size(), 2u);
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd /c \"a.CMD\"");
  EXPECT_EQ(p.processes.started[0].folder, "C:\\x %OS% y\\");
  EXPECT_EQ(p.processes.started[1].commandLine, "cmd /c \"C:\\plain\\a.CMD\"");
  EXPECT_EQ(p.processes.started[1].folder, "C:\\plain\\");
  EXPECT_EQ(p.processes.pumpedWaits, 2);
  EXPECT_EQ(p.fs.current, "C:\\Work");  // the program's own current folder is not touched
}

TEST(ShellWaitOnPath, NothingRunsWhenTheNameHoldsPercent) {
  test::FakePlatform p;
  EXPECT_EQ(ShellWaitOnPath(p.os, "cmd /c ", "C:\\100%\\%OS%.CMD", DQuote, platform::kHide), -1);
  EXPECT_TRUE(p.processes.started.empty());
}

TEST(WaitTimer, PollsOnceASecondAndOvershootsByLessThanOne) {
  test::FakePlatform p;
  p.clock.ms = 5;
  EXPECT_TRUE(WaitTimer(p.os, 30000));
  EXPECT_EQ(p.clock.sleeps.size(), 30u);
  EXPECT_EQ(p.ui.pumps, 30);
  test::FakePlatform q;
  EXPECT_TRUE(WaitTimer(q.os, 0));
  EXPECT_TRUE(WaitTimer(q.os, -5));
  EXPECT_TRUE(q.clock.sleeps.empty());
}

TEST(WaitTimer, WaitsTheFullTimeAcrossTheCounterWrapAndTheSignBoundary) {
  for (std::uint32_t start : {0xFFFFF000u, 0x7FFFFC00u, 0xFFFFFFFFu}) {
    test::FakePlatform p;
    p.clock.ms = start;
    EXPECT_TRUE(WaitTimer(p.os, 6000));
    EXPECT_EQ(p.clock.sleeps.size(), 6u) << start;
  }
}

TEST(SleepTime, RoundsHalfToEvenMilliseconds) {
  test::FakePlatform p;
  for (double amount : {100.0, 2.5, 3.5, 0.4}) SleepTime(p.os, TimeUnit::kMilliseconds, amount);
  EXPECT_EQ(p.clock.sleeps, (std::vector<std::uint32_t>{100, 2, 4}));
  EXPECT_EQ(p.ui.pumps, 0);
}

TEST(Quotes, AddOnlyTheQuotes) {
  EXPECT_EQ(DQuote("C:\\a b\\x.txt"), "\"C:\\a b\\x.txt\"");
  EXPECT_EQ(DQuote(""), "\"\"");
  EXPECT_EQ(SQuote(""), "''");
  EXPECT_EQ(SQuote("O'Brien"), "'O'Brien'");
}

}  // namespace
}  // namespace th

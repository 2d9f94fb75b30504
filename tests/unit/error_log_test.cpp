#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "support/error_log.h"
#include "support/guard.h"

namespace th {
namespace {

struct ErrorLogTest : ::testing::Test {
  test::FakePlatform p;
  RunContext ctx{p.os};
  const std::string logFile = "C:\\Tools\\Inv\\Error.Log";
};

TEST_F(ErrorLogTest, EntryLayoutHasTimestampSpaceAndTenTabs) {
  SetLogFile(ctx, "  " + logFile + " ");
  ctx.rec.Key = "ABC ";
  ctx.rec.Group = "Hard";
  WriteErrorLog(ctx, "SaveTextSet", "パスが見つかりません。");
  EXPECT_EQ(p.text(logFile),
            "2026/12/06 09:05:07 \tPC01\tSaveTextSet\tABC\tHard\t\t\t\t\t\tパスが見つかりません。\r\n");
}

TEST_F(ErrorLogTest, EmptyRecordGivesEightAdjacentTabsAndTimestampsArePadded) {
  SetLogFile(ctx, logFile);
  p.clock.time = {2027, 1, 2, 3, 4, 5};
  WriteErrorLog(ctx, "Main", "x");
  EXPECT_EQ(p.text(logFile), "2027/01/02 03:04:05 \tPC01\tMain\t\t\t\t\t\t\t\tx\r\n");
}

// A value from WMI, the registry or a planted file cannot forge a line or a
// field: NULs go, each line break (CR LF as one) and TAB becomes a blank.
TEST_F(ErrorLogTest, EveryEntryStaysOneLineOfTenFields) {
  SetLogFile(ctx, logFile);
  p.system.name = std::string("PC01\0\0\0", 7);
  ctx.rec.Key = "abc\r\n2026/12/06 09:05:07 \tPC99";
  ctx.rec.Contents = std::string("a\0b\tc\rd\ne", 9);
  ctx.rec.Unit = "\tMHz\t";
  WriteErrorLog(ctx, "GetKey", std::string("one\0\r\ntwo\tthree", 15));
  EXPECT_EQ(p.text(logFile), "2026/12/06 09:05:07 \tPC01\tGetKey\tabc 2026/12/06 09:05:07  PC99\t\t\t\tab c d e\t"
                             "MHz\t\tone two three\r\n");
}

TEST_F(ErrorLogTest, NothingIsWrittenBeforeSetLogFileOrWithABlankPath) {
  WriteErrorLog(ctx, "Main", "early");
  SetLogFile(ctx, "   ");
  WriteErrorLog(ctx, "Main", "blank");
  EXPECT_FALSE(ctx.log.enabled);
  EXPECT_EQ(p.fs.files.size(), 0u);
}

TEST_F(ErrorLogTest, UnwritableLogDropsEntriesSilentlyAndRetries) {
  SetLogFile(ctx, logFile);
  p.fs.unwritable.insert(logFile);
  WriteErrorLog(ctx, "Main", "lost");
  p.fs.unwritable.clear();
  WriteErrorLog(ctx, "Main", "kept");
  EXPECT_EQ(p.text(logFile), "2026/12/06 09:05:07 \tPC01\tMain\t\t\t\t\t\t\t\tkept\r\n");
  EXPECT_TRUE(p.clock.sleeps.empty());  // an unwritable log is not waited for
}

// Another PC holding the shared log for its own write: the entry waits its
// turn (briefly) and goes in whole, as one append; a log held for longer
// loses that entry only.
TEST_F(ErrorLogTest, ALogHeldByAnotherWriterIsTriedAgainBriefly) {
  SetLogFile(ctx, logFile);
  p.fs.busyAppends[logFile] = 3;
  WriteErrorLog(ctx, "Main", "waited");
  EXPECT_EQ(p.text(logFile), "2026/12/06 09:05:07 \tPC01\tMain\t\t\t\t\t\t\t\twaited\r\n");
  EXPECT_EQ(p.clock.sleeps, (std::vector<std::uint32_t>{50, 50, 50}));

  p.fs.busyAppends[logFile] = 1000;
  WriteErrorLog(ctx, "Main", "lost");
  EXPECT_EQ(p.clock.sleeps.size(), 3u + 19u);
  p.fs.busyAppends[logFile] = 0;
  WriteErrorLog(ctx, "Main", "next");
  EXPECT_EQ(p.text(logFile).find("lost"), std::string::npos);
  EXPECT_NE(p.text(logFile).find("\tnext\r\n"), std::string::npos);
}

TEST_F(ErrorLogTest, GuardedLogsAFailedStepAndLetsTheCallerGoOn) {
  SetLogFile(ctx, logFile);
  int after = 0;
  EXPECT_FALSE(Guarded(ctx, "GetCPU", [] { throw Failure("無効なクエリです。"); }));
  EXPECT_TRUE(Guarded(ctx, "GetCPU", [&] { ++after; }));
  EXPECT_EQ(after, 1);
  EXPECT_EQ(p.text(logFile), "2026/12/06 09:05:07 \tPC01\tGetCPU\t\t\t\t\t\t\t\t無効なクエリです。\r\n");
}

// A programming error is no failed step: it is neither logged as one nor
// dropped, but passes on to end the run on its error path.
TEST_F(ErrorLogTest, AProgrammingErrorPassesThroughGuardedAndIgnoreFailure) {
  SetLogFile(ctx, logFile);
  const auto bug = [] { throw std::out_of_range("vector::_M_range_check"); };
  EXPECT_THROW(Guarded(ctx, "GetCPU", bug), std::out_of_range);
  EXPECT_THROW(IgnoreFailure(bug), std::out_of_range);
  EXPECT_FALSE(p.fs.hasFile(logFile));
  // A refusal returned by value is dropped like a thrown one.
  EXPECT_FALSE(IgnoreFailure([&] { return p.fs.removeFile("C:\\none.txt"); }));
  EXPECT_TRUE(IgnoreFailure([&] { return p.fs.createFolder("C:\\new"); }));
  EXPECT_TRUE(p.fs.folderExists("C:\\new"));
}

}  // namespace
}  // namespace th

// The benchmark's own parts: the disk file system must read lines exactly as
// the program's Windows reader does, and a generated dump must hold the
// applications it was made with, or the figures measure the wrong thing.
#include <gtest/gtest.h>

#include <fstream>

#include "bench_platform.h"
#include "collect/software.h"
#include "dump_maker.h"
#include "support/error_log.h"
#include "support/run_context.h"

namespace th::bench {
namespace {

std::vector<std::string> Lines(DiskFileSystem& fs, const std::string& path) {
  auto reader = fs.openLines(path).value;
  std::vector<std::string> lines;
  for (std::string line; reader->next(line);) lines.push_back(line);
  return lines;
}

void Write(const std::string& host, const std::string& bytes) {
  std::ofstream(host, std::ios::binary) << bytes;
}

TEST(DiskFileSystem, MapsWindowsPathsUnderItsRoot) {
  DiskFileSystem fs("/r", "C:\\bench");
  EXPECT_EQ(fs.hostPath("C:\\bench\\SAVE\\TH_reg.TxT"), "/r/C/bench/SAVE/TH_reg.TxT");
  EXPECT_THROW(fs.hostPath("SAVE\\x"), Failure);
}

TEST(DiskFileSystem, ReadsLinesWithEveryEndAndAcrossBufferBoundaries) {
  ScratchFolder scratch;
  BenchPlatform p(scratch.path());
  const std::string path = "C:\\bench\\lines.txt";
  Write(p.fs.hostPath(path), "a\r\nb\nc\rd\r\n\r\ne");
  EXPECT_EQ(Lines(p.fs, path), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));

  // A CR LF split by the 64 KiB read buffer is still one line end, and a
  // line longer than the buffer comes whole.
  const std::string first(64 * 1024 - 1, 'x');
  const std::string longLine(150 * 1024, 'y');
  Write(p.fs.hostPath(path), first + "\r\n" + longLine + "\r\nz\r\n");
  EXPECT_EQ(Lines(p.fs, path), (std::vector<std::string>{first, longLine, "z"}));

  Write(p.fs.hostPath(path), "");
  EXPECT_TRUE(Lines(p.fs, path).empty());
  EXPECT_EQ(p.fs.openLines("C:\\bench\\missing.txt").outcome.result, platform::FileResult::kMissing);
}

TEST(DiskFileSystem, AppendsAndRemoves) {
  ScratchFolder scratch;
  BenchPlatform p(scratch.path());
  const std::string path = "C:\\bench\\SAVE\\out.txt";
  EXPECT_TRUE(p.fs.append(path, "one\r\n").done());
  EXPECT_TRUE(p.fs.append(path, "two\r\n").done());
  EXPECT_EQ(p.fs.fileLength(path), 10);
  EXPECT_EQ(p.fs.fileLength("C:\\bench\\SAVE"), -1);
  EXPECT_TRUE(p.fs.removeFile(path).done());
  EXPECT_FALSE(p.fs.fileExists(path));
  EXPECT_EQ(p.fs.append("C:\\bench\\no folder\\x.txt", "x").result, platform::FileResult::kMissing);
}

TEST(DumpMaker, SoftCheckFindsTheGeneratedApplications) {
  ScratchFolder scratch;
  BenchPlatform p(scratch.path());
  const std::string dump = "C:\\bench\\SAVE\\TH_reg.TxT";
  WriteDump(p.codePage, p.fs.hostPath(dump), 100);

  RunContext ctx(p.os);
  SetLogFile(ctx, "C:\\bench\\Error.Log");
  ctx.recordFilePath = "C:\\bench\\WKP1.tmp";
  ctx.rec.Key = "k";
  ctx.rec.Renewalday = "d";
  SoftCheck(ctx, dump);

  // 100 entries less 10 updates (every tenth) and 4 without a name.
  std::vector<std::string> records = Lines(p.fs, ctx.recordFilePath);
  ASSERT_EQ(records.size(), 86u);
  EXPECT_EQ(p.codePage.fromAnsi(records[0]),
            "k,Soft,Application,Application 0 Professional Edition,0.0.0,株式会社 ベンダー 0,d");
  EXPECT_EQ(p.codePage.fromAnsi(records[3]),
            "k,Soft,Application,日本語 アプリケーション 3 (64 ビット),3.3.3,Vendor 3 Inc.,d");
  EXPECT_FALSE(p.fs.fileExists(dump)) << "SoftCheck deletes the dump it read";
  EXPECT_FALSE(p.fs.fileExists("C:\\bench\\Error.Log"));
}

}  // namespace
}  // namespace th::bench

#include <gtest/gtest.h>

#include "collect/network_identity.h"
#include "fakes/record_run.h"

namespace th {
namespace {

// In the run's private folder, beside the record file, never in the shared temporary folder itself.
const std::string kScratch = std::string(test::RecordRun::kWorkingFolder) + "WKP1A2C.tmp";

struct GetPCNameTest : ::testing::Test, test::RecordRun {
  GetPCNameTest() {
    // The record file is the first temporary file; the scratch file the next.
    p.fs.addFile(kRecordFile, "");
    ++p.fs.tempCounter;
    p.system.dnsName.clear();
  }
  // The Hostname command writes this into the file it is redirected to.
  void hostnamePrints(const std::string& bytes) {
    p.processes.onStart = [this, bytes](const std::string&) { p.fs.files[kScratch] = bytes; };
  }
};

TEST_F(GetPCNameTest, AnEarlierNameMeansNoSourceIsAsked) {
  ctx.recordedComputerName = "DESKTOP-7H2K9QX";
  p.system.dnsName = "other";
  GetPCName(ctx);
  EXPECT_EQ(records(), "");
  EXPECT_TRUE(p.processes.started.empty());
  EXPECT_FALSE(p.fs.hasFile(kScratch));
  EXPECT_EQ(ctx.rec.SubItem, "コンピュータ名");
  EXPECT_EQ(ctx.rec.Contents, "");
}

TEST_F(GetPCNameTest, DnsHostNameFirstUntrimmed) {
  p.system.dnsName = "pc01 ";
  p.system.env["COMPUTERNAME"] = "PC01";
  GetPCName(ctx);
  EXPECT_EQ(records(), line("LAN,LAN,コンピュータ名,pc01,"));
  EXPECT_EQ(ctx.recordedComputerName, "pc01 ");
}

TEST_F(GetPCNameTest, EnvironmentWhenTheNameQueryFails) {
  p.system.env["COMPUTERNAME"] = "PC-ENV";
  GetPCName(ctx);
  EXPECT_EQ(records(), line("LAN,LAN,コンピュータ名,PC-ENV,"));
  EXPECT_TRUE(p.processes.started.empty());
}

TEST_F(GetPCNameTest, HostnameCommandLastItsFirstNonEmptyLineAndTheScratchFileGoes) {
  hostnamePrints("\r\nhost-from-cmd\r\nsecond\r\n");
  GetPCName(ctx);
  ASSERT_EQ(p.processes.started.size(), 1u);
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd.exe /c Hostname > \"" + kScratch + "\"");
  EXPECT_EQ(p.processes.started[0].show, platform::kHide);
  EXPECT_EQ(records(), line("LAN,LAN,コンピュータ名,host-from-cmd,"));
  EXPECT_EQ(ctx.recordedComputerName, "host-from-cmd");
  EXPECT_FALSE(p.fs.hasFile(kScratch));
}

// cmd would expand %OS% inside the quotes and redirect into another folder.
TEST_F(GetPCNameTest, ATemporaryFolderHoldingPercentIsEnteredInsteadOfNamed) {
  const std::string temp = "C:\\Users\\a%OS%b\\Temp\\TH-0123456789ABCDEF\\";
  ctx.workingFolder = temp;
  p.fs.addFolder(temp);
  p.processes.onStart = [&](const std::string&) {
    p.fs.files[p.fs.full(temp + "WKP1A2C.tmp")] = "host-pct\r\n";
  };
  GetPCName(ctx);
  ASSERT_EQ(p.processes.started.size(), 1u);
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd.exe /c Hostname > \"WKP1A2C.tmp\"");
  EXPECT_EQ(p.processes.started[0].folder, temp);
  EXPECT_EQ(ctx.recordedComputerName, "host-pct");
  EXPECT_FALSE(p.fs.hasFile(temp + "WKP1A2C.tmp"));
}

TEST_F(GetPCNameTest, NothingFromTheCommandWritesNothingAndStillDeletesTheScratchFile) {
  hostnamePrints("");
  GetPCName(ctx);
  EXPECT_EQ(p.processes.started.size(), 1u);
  EXPECT_EQ(records(), "");
  EXPECT_FALSE(p.fs.hasFile(kScratch));
  EXPECT_EQ(ctx.recordedComputerName, "");
}

TEST(ReadTextLines, NonEmptyLinesInOrderMinusTheSkippedOnes) {
  test::FakePlatform p;
  RunContext ctx(p.os);
  std::vector<std::string> lines{"stale"};
  const std::string f = "C:\\Work\\out.txt";

  EXPECT_EQ(ReadTextLines(ctx, f, lines, ""), -1);  // missing
  EXPECT_TRUE(lines.empty());
  p.fs.addFile(f, "");
  EXPECT_EQ(ReadTextLines(ctx, f, lines, ""), -1);  // empty
  p.fs.addFile(f, "\r\n\r\n\r\n");
  EXPECT_EQ(ReadTextLines(ctx, f, lines, ""), -1);  // only empty lines
  EXPECT_TRUE(lines.empty());

  p.fs.addFile(f, "REM one\r\n\r\nrem two\r\n \r\nthree\x83\x81");  // CP932 at the end, no line end
  EXPECT_EQ(ReadTextLines(ctx, f, lines, "REM"), 3);
  EXPECT_EQ(lines, (std::vector<std::string>{"rem two", " ", "threeメ"}));
  EXPECT_EQ(ReadTextLines(ctx, f, lines, ""), 4);
  EXPECT_EQ(lines.front(), "REM one");
}

}  // namespace
}  // namespace th

#include <gtest/gtest.h>

#include "collect/record_file.h"
#include "fakes/fake_platform.h"
#include "support/error_log.h"

namespace th {
namespace {

using platform::PropertyValue;

struct RecordFileTest : ::testing::Test {
  test::FakePlatform p;
  RunContext ctx{p.os};
  const std::string file = "C:\\Users\\user\\AppData\\Local\\Temp\\WKP1.tmp";
  const std::string logFile = "C:\\Tools\\Inv\\Error.Log";
  void SetUp() override {
    ctx.recordFilePath = file;
    SetLogFile(ctx, logFile);
  }
};

TEST_F(RecordFileTest, CleansFieldsAndJoinsSevenWithCrLf) {
  ctx.rec = {"A12345", "Hard", "メモリ", "全容量", "1,024 MB", " \"A\" ", "2026/12/06"};
  SaveTextSet(ctx);
  ctx.rec = {};
  SaveTextSet(ctx);
  ctx.rec.Contents = ", \" ,";
  SaveTextSet(ctx);
  EXPECT_EQ(p.text(file), "A12345,Hard,メモリ,全容量,1024 MB,A,2026/12/06\r\n,,,,,,\r\n,,,,,,\r\n");
  // Code page 932 on disk, not UTF-8: メ is 83 81.
  EXPECT_EQ(p.fs.content(file).substr(12, 2), "\x83\x81");
}

TEST_F(RecordFileTest, LineBreaksInsideValuesNeverSplitARecord) {
  // Found by fuzzing: a WMI text holding a line break wrote half a record per line.
  ctx.rec = {"A12345", "WMI", "BIOS", "Version", "line1\r\nline2\rline3\nline4", "\r\n", "2026/12/06"};
  SaveTextSet(ctx);
  ctx.rec.Contents = "a\r,\nb\n\r";
  SaveTextSet(ctx);
  EXPECT_EQ(p.text(file),
            "A12345,WMI,BIOS,Version,line1 line2 line3 line4,,2026/12/06\r\n"
            "A12345,WMI,BIOS,Version,a  b,,2026/12/06\r\n");
}

TEST_F(RecordFileTest, CleaningLeavesTheCurrentRecordAlone) {
  ctx.rec.Contents = "1,024";
  SaveTextSet(ctx);
  SaveTextSet(ctx);
  EXPECT_EQ(ctx.rec.Contents, "1,024");
  EXPECT_EQ(p.text(file), ",,,,1024,,\r\n,,,,1024,,\r\n");
}

TEST_F(RecordFileTest, HeaderIsWrittenUncleaned) {
  SaveText(ctx, file, kRecordHeader);
  EXPECT_EQ(p.fs.content(file), "Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n");
}

TEST_F(RecordFileTest, EmptyRecordPathLogsEachRecordAndCreatesNothing) {
  ctx.recordFilePath.clear();
  const auto filesBefore = p.fs.files.size();
  SaveTextSet(ctx);
  SaveTextSet(ctx);
  EXPECT_EQ(p.fs.files.size(), filesBefore + 1);  // only Error.Log
  const std::string log = p.text(logFile);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
  EXPECT_NE(log.find("\tSaveTextSet\t"), std::string::npos);
}

TEST_F(RecordFileTest, SaveTextLogsUnderItsOwnName) {
  p.fs.unwritable.insert(file);
  SaveText(ctx, file, "x");
  EXPECT_NE(p.text(logFile).find("\tSaveText\t"), std::string::npos);
}

TEST_F(RecordFileTest, CnvValTurnsEachKindIntoText) {
  EXPECT_EQ(CnvVal(ctx, PropertyValue::object()), "<CIM_OBJECT (embedded SWbemObject)>");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::null()), "");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::empty()), "");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofInteger(4096)), "4096");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofInteger(-7)), "-7");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofText(" spaced, text ")), " spaced, text ");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofArray({})), "");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofArray({PropertyValue::ofText("10")})), "10");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofArray({PropertyValue::ofText("192.168.1.2"),
                                                PropertyValue::ofText("fe80::1")})),
            "192.168.1.2,fe80::1");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofArray({PropertyValue::ofInteger(3), PropertyValue::ofInteger(10)})), "3,10");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofBoolean(true)), "True");
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofReal(2.5)), "2.5");
  EXPECT_FALSE(p.fs.hasFile(logFile));
}

TEST_F(RecordFileTest, CnvValOfAnArrayWithoutTextFormLogsAndGivesNothing) {
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofArray({PropertyValue::ofText("a"), PropertyValue::null()})), std::nullopt);
  EXPECT_EQ(CnvVal(ctx, PropertyValue::ofArray({PropertyValue::object()})), std::nullopt);
  const std::string log = p.text(logFile);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
  EXPECT_NE(log.find("\tCnvVal\t"), std::string::npos);
}

TEST_F(RecordFileTest, ArrayWrittenUnchangedLosesItsCommas) {
  ctx.rec.Contents = *CnvVal(ctx, PropertyValue::ofArray({PropertyValue::ofText("10.0.0.1"),
                                                          PropertyValue::ofText("10.0.0.2")}));
  SaveTextSet(ctx);
  EXPECT_EQ(p.text(file), ",,,,10.0.0.110.0.0.2,,\r\n");
}

}  // namespace
}  // namespace th

#include <gtest/gtest.h>

#include "collect/key_block.h"
#include "fakes/record_run.h"

namespace th {
namespace {

using platform::PropertyValue;
using Strings = std::vector<std::string>;

const std::string kHeader = "Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n";
const std::string kCreate = "abc-05-0012,Create,DateTime,2026/12/06,09:05:07,,2026/12/06\r\n";

struct GetKeyTest : ::testing::Test, test::RecordRun {
  GetKeyTest() {
    ctx.recordFilePath.clear();
    ctx.rec.Renewalday.clear();
  }
};

TEST_F(GetKeyTest, HeaderDateTimeAndOneItemPerEnabledAdapterInPropertyOrder) {
  load("adapters.txt");
  EXPECT_TRUE(GetKey(ctx));
  EXPECT_EQ(ctx.recordFilePath, kRecordFile);
  EXPECT_EQ(ctx.rec.Renewalday, "2026/12/06");
  EXPECT_EQ(records(), kHeader + kCreate +
                           lines({"LAN,Adapter,ゲートウェイ,192.168.1.1 10.0.0.1,",
                                  "LAN,Adapter,DHCPServer,192.168.1.1,",
                                  "LAN,Adapter,PrimaryDNS,192.168.1.10,",
                                  "LAN,Adapter,SecondaryDNS,192.168.1.11,",
                                  "LAN,Adapter,IPアドレス,192.168.1.23 fe80::a4c3:7e1f:2b9d:51e0,",
                                  "LAN,Adapter,サブネットマスク,255.255.255.0 64,",
                                  "LAN,Adapter,MACアドレス,00-1A-2B-3C-4D-5E,",
                                  "LAN,Adapter,PrimaryWINS,,",
                                  "LAN,Adapter,SecondaryWINS,,",
                                  "LAN,Adapter2,ゲートウェイ,,",
                                  "LAN,Adapter2,DHCPServer,,",
                                  "LAN,Adapter2,IPアドレス,172.16.5.40,",
                                  "LAN,Adapter2,サブネットマスク,255.255.0.0,",
                                  "LAN,Adapter2,MACアドレス,A4-C3-F0-85-1D-2B,",
                                  "LAN,Adapter2,PrimaryWINS,172.16.0.5,",
                                  "LAN,Adapter2,SecondaryWINS,172.16.0.6,",
                                  "LAN,Adapter3,ゲートウェイ,10.8.0.1,",
                                  "LAN,Adapter3,DHCPServer,10.8.0.254,",
                                  "LAN,Adapter3,PrimaryDNS,10.8.0.1,",
                                  "LAN,Adapter3,IPアドレス,10.8.0.6,",
                                  "LAN,Adapter3,サブネットマスク,255.255.255.252,",
                                  "LAN,Adapter3,MACアドレス,00-FF-6B-2A-9C-11,",
                                  "LAN,Adapter3,PrimaryWINS,,",
                                  "LAN,Adapter3,SecondaryWINS,,"}));
  EXPECT_FALSE(p.fs.hasFile(RecordRun::kLogFile));
}

TEST_F(GetKeyTest, NoEnabledAdapterLeavesHeaderAndDateTimeOnly) {
  load("adapters_none.txt");
  EXPECT_TRUE(GetKey(ctx));
  EXPECT_EQ(records(), kHeader + kCreate);
  EXPECT_FALSE(p.fs.hasFile(RecordRun::kLogFile));
}

TEST_F(GetKeyTest, WithoutWmiTheSameTwoLinesAndOneLogEntry) {
  load("adapters.txt");
  p.wmi.failConnect = true;
  EXPECT_TRUE(GetKey(ctx));
  EXPECT_EQ(records(), kHeader + kCreate);
  EXPECT_EQ(loggedProcedures(), Strings{"GetKey"});
}

TEST_F(GetKeyTest, AnUnreadableAdapterStillTakesItsNumberAndAnEmptyDnsListWritesNothing) {
  load("adapters_broken.txt");
  EXPECT_TRUE(GetKey(ctx));
  EXPECT_EQ(records(), kHeader + kCreate +
                           lines({"LAN,Adapter2,IPアドレス,192.168.10.5,", "LAN,Adapter2,MACアドレス,00-15-5D-01-02-03,"}));
  EXPECT_EQ(loggedProcedures(), Strings{"GetKey"});
}

TEST_F(GetKeyTest, AnAdapterValueTooLongToRewriteIsLoggedAndLeftOutWhileTheRunGoesOn) {
  load("adapters_none.txt");
  std::vector<PropertyValue> addresses;  // some 40,000 characters once joined
  for (int i = 0; i < 4000; ++i) addresses.push_back(PropertyValue::ofText("10.0.0." + std::to_string(i)));
  test::FakeWmi::Instance first, second;
  first.properties = {{"IPAddress", PropertyValue::ofArray(addresses)}, {"MACAddress", PropertyValue::ofText("00:1A:2B:3C:4D:5E")}};
  second.properties = {{"MACAddress", PropertyValue::ofText("A4:C3:F0:85:1D:2B")}};
  p.wmi.answers["Select * from Win32_NetworkAdapterConfiguration where IPEnabled=TRUE"] = {first, second};
  EXPECT_TRUE(GetKey(ctx));
  EXPECT_EQ(records(), kHeader + kCreate +
                           lines({"LAN,Adapter,MACアドレス,00-1A-2B-3C-4D-5E,", "LAN,Adapter2,MACアドレス,A4-C3-F0-85-1D-2B,"}));
  EXPECT_EQ(loggedProcedures(), Strings{"GetKey"});
}

TEST_F(GetKeyTest, NoTemporaryFileMeansNoRecordFileAndTheWritersLogTheirOwnNames) {
  load("adapters_none.txt");
  p.fs.failTempFile = true;
  EXPECT_TRUE(GetKey(ctx));
  EXPECT_EQ(ctx.recordFilePath, "");
  EXPECT_EQ(loggedProcedures(), (Strings{"SaveText", "SaveTextSet"}));
}

TEST_F(GetKeyTest, OutputFolderBesideTheProgramIsCreatedAndLeftRelative) {
  load("adapters_none.txt");
  GetKey(ctx);
  EXPECT_EQ(ctx.outputFolder, ".\\SAVE\\");
  EXPECT_TRUE(p.fs.folderExists("C:\\Tools\\Inv\\SAVE"));
  EXPECT_EQ(p.fs.current, "C:\\Work");
}

TEST_F(GetKeyTest, DesktopMarkerEvenEmptyMovesTheOutputFolderToTheDesktop) {
  p.fs.addFile("C:\\Tools\\Inv\\DAT\\Desktop.txt", "");
  EXPECT_EQ(GetOutputFolder(ctx), "C:\\Users\\user\\Desktop\\SAVE\\");
  EXPECT_TRUE(p.fs.folderExists("C:\\Users\\user\\Desktop\\SAVE"));
  EXPECT_FALSE(p.fs.folderExists("C:\\Tools\\Inv\\SAVE"));

  p.fs.desktop.clear();  // no desktop folder known: no output folder either
  EXPECT_EQ(GetOutputFolder(ctx), "");
}

TEST_F(GetKeyTest, MakeFolderPathCreatesMissingLevelsParentFirstAndRestoresTheCurrentFolder) {
  p.fs.addFolder("D:\\Elsewhere");
  p.fs.current = "D:\\Elsewhere";
  p.fs.log.clear();
  EXPECT_TRUE(MakeFolderPath(ctx, "C:\\Data\\Inv\\Out\\"));
  const Strings made = [&] {
    Strings m;
    for (const auto& entry : p.fs.log) {
      if (entry.rfind("mkdir ", 0) == 0) m.push_back(entry.substr(6));
    }
    return m;
  }();
  EXPECT_EQ(made, (Strings{"C:\\Data", "C:\\Data\\Inv", "C:\\Data\\Inv\\Out"}));
  EXPECT_EQ(p.fs.current, "D:\\Elsewhere");

  EXPECT_TRUE(MakeFolderPath(ctx, "C:\\Data\\Inv\\Out\\"));  // present: nothing more to do
  EXPECT_FALSE(MakeFolderPath(ctx, "Q:\\Nowhere\\"));         // no such drive
  EXPECT_EQ(p.fs.current, "D:\\Elsewhere");
}

TEST_F(GetKeyTest, MakeFolderPathOnAShareCreatesBelowTheShareOnly) {
  p.fs.addFolder("\\\\srv\\share");
  p.fs.log.clear();
  EXPECT_TRUE(MakeFolderPath(ctx, "\\\\srv\\share\\inv\\save\\"));
  EXPECT_EQ(p.fs.log, (Strings{"mkdir \\\\srv\\share\\inv", "mkdir \\\\srv\\share\\inv\\save"}));
}

TEST(NumOrDefault, NumbersAndTextThatReadsAsOne) {
  test::FakePlatform p;
  RunContext ctx(p.os);
  EXPECT_EQ(NumOrDefault(ctx, PropertyValue::null(), 7), 7);
  EXPECT_EQ(NumOrDefault(ctx, PropertyValue::ofInteger(4096), 7), 4096);
  EXPECT_EQ(NumOrDefault(ctx, PropertyValue::ofText("500107862016"), 7), 500107862016.0);
  EXPECT_EQ(NumOrDefault(ctx, " -2.5 ", 7), -2.5);
  EXPECT_EQ(NumOrDefault(ctx, "1,024", 7), 1024);
  EXPECT_EQ(NumOrDefault(ctx, "1e3", 7), 1000);
  EXPECT_EQ(NumOrDefault(ctx, "", 7), 7);
  EXPECT_EQ(NumOrDefault(ctx, "12abc", 7), 7);
  EXPECT_EQ(NumOrDefault(ctx, ".", 7), 7);
  EXPECT_EQ(NumOrDefault(ctx, "1e", 7), 7);
  EXPECT_EQ(NumOrDefault(ctx, PropertyValue::ofDate("20180515000000.000000+000"), 7), 7);
  EXPECT_EQ(NumOrDefault(ctx, PropertyValue::ofArray({PropertyValue::ofInteger(3)}), 7), 7);
  EXPECT_EQ(NumOrDefault(ctx, PropertyValue::object(), 7), 7);
}

}  // namespace
}  // namespace th

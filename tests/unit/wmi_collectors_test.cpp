#include <gtest/gtest.h>

#include "collect/wmi_collectors.h"
#include "fakes/record_run.h"

namespace th {
namespace {

using Strings = std::vector<std::string>;

struct WmiCollectorsTest : ::testing::Test, test::RecordRun {
  WmiCollectorsTest() { load("desktop.txt"); }
  bool queried(const std::string& wql) {
    return std::find(p.wmi.queries.begin(), p.wmi.queries.end(), wql) != p.wmi.queries.end();
  }
};

TEST_F(WmiCollectorsTest, ProcessorFromWmiOnePerSocketTrimmed) {
  EXPECT_FALSE(GetCPU(ctx));
  EXPECT_EQ(records(), lines({"Hard,CPU,NameString,Intel(R) Xeon(R) CPU E5-2620 v4 @ 2.10GHz,",
                              "Hard,CPU,NameString,Intel(R) Xeon(R) CPU E5-2620 v4 @ 2.10GHz,"}));
}

TEST_F(WmiCollectorsTest, ProcessorNameFromTheRegistrySuppressesTheQuery) {
  p.registry.keys["HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0"]["ProcessorNameString"] =
      "  Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz";
  EXPECT_TRUE(GetCPU(ctx));
  EXPECT_EQ(records(), line("Hard,CPU,NameString,Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz,"));
  EXPECT_TRUE(p.wmi.queries.empty());
}

TEST_F(WmiCollectorsTest, WindowsWritesItsRecordsInPropertyOrderAndFillsTheSharedTexts) {
  std::string drive;
  GetWindows(ctx, drive);
  EXPECT_EQ(records(), lines({"Soft,OS,Version,Microsoft Windows 10 Pro 64 ビット,",
                              "LAN,LAN,コンピュータ名,DESKTOP-7H2K9QX,",
                              "LAN,LAN,コンピュータの説明,経理課 山田,",
                              "Soft,OS,ProductID,00330-80000-00000-AA123,",
                              "Soft,OS,SystemPath,C:\\WINDOWS\\system32,",
                              "Hard,SystemHDD,Drive,C:,",
                              "Hard,メモリ,全容量,16658404,KB"}));
  EXPECT_EQ(drive, "C:");
  EXPECT_EQ(ctx.recordedOsVersion, "Microsoft Windows 10 Pro 64 ビット");
  EXPECT_EQ(ctx.recordedComputerName, "DESKTOP-7H2K9QX");
}

TEST_F(WmiCollectorsTest, WindowsLeavesAnEarlierComputerNameAlone) {
  ctx.recordedComputerName = "FROM-GETPC";
  std::string drive;
  GetWindows(ctx, drive);
  EXPECT_EQ(records().find("コンピュータ名"), std::string::npos);
  EXPECT_EQ(ctx.recordedComputerName, "FROM-GETPC");
}

TEST_F(WmiCollectorsTest, ServicePackWithoutArchitectureAndBlanksCollapsedOnce) {
  load("laptop_domain.txt");  // the architecture read fails, unlogged
  std::string drive;
  GetWindows(ctx, drive);
  EXPECT_EQ(ctx.recordedOsVersion, "Microsoft Windows 7 Professional (Service Pack 1)");
  EXPECT_TRUE(loggedProcedures().empty());

  // Three blanks become two: the collapse is a single pass.
  test::FakeWmi::Instance os;
  os.properties = {{"Caption", platform::PropertyValue::ofText("Windows  ")},
                   {"CSDVersion", platform::PropertyValue::null()},
                   {"OSArchitecture", platform::PropertyValue::ofText("64-bit")}};
  p.wmi.answers["Select * from Win32_OperatingSystem"] = {os};
  GetWindows(ctx, drive);
  EXPECT_EQ(ctx.recordedOsVersion, "Windows  64-bit");
}

TEST_F(WmiCollectorsTest, SystemDiskRecordsAndTheTotalOfAllFixedDisks) {
  GetDisk(ctx, "D:");  // D: is 2.5 MB with 3.5 MB free: rounded to the even neighbour
  EXPECT_EQ(records(), lines({"Hard,SystemHDD,空容量,4,MB", "Hard,SystemHDD,全容量,2,MB",
                              "Hard,Hard Disk,合計量,476942,MB"}));
}

TEST_F(WmiCollectorsTest, NoSystemDriveWritesOnlyTheTotal) {
  GetDisk(ctx, "");
  EXPECT_EQ(records(), line("Hard,Hard Disk,合計量,476942,MB"));
}

TEST_F(WmiCollectorsTest, DisksWithoutANumberCountZeroAndAnUnreadableIdIsNoSystemDisk) {
  load("odd_values.txt");
  GetDisk(ctx, "G:");
  EXPECT_EQ(records(), line("Hard,Hard Disk,合計量,1,MB"));
  EXPECT_EQ(loggedProcedures(), Strings{"GetDisk"});

  p.wmi.failConnect = true;  // WMI gone: the total is still written
  GetDisk(ctx, "C:");
  EXPECT_EQ(records(), lines({"Hard,Hard Disk,合計量,1,MB", "Hard,Hard Disk,合計量,0,MB"}));
}

TEST_F(WmiCollectorsTest, BiosWithItsReleaseDateAsADate) {
  GetBIOS(ctx);
  EXPECT_EQ(records(), lines({"WMI,BIOS,Caption,1.4.2,", "WMI,BIOS,Vendor,Dell Inc.,",
                              "WMI,BIOS,ReleaseDate,2018/05/15,", "WMI,BIOS,SerialNo,5CG1234XYZ,",
                              "WMI,BIOS,Version,DELL   - 1072009,"}));
}

TEST_F(WmiCollectorsTest, FailingQueryLogsOnceUnderTheCollectorsNameAndWritesNothing) {
  load("wine.txt");
  GetBIOS(ctx);
  GetKeyboard(ctx);
  GetPrinter(ctx);
  EXPECT_EQ(records(), "");
  EXPECT_EQ(loggedProcedures(), Strings{"GetBIOS"});
  EXPECT_EQ(loggedDescriptions(), Strings{"Error code: 0x80041001"});
}

TEST_F(WmiCollectorsTest, ComputerSystemSetsItsOwnGroupsAndAlwaysTheComputerName) {
  ctx.recordedComputerName = "earlier";
  GetPC(ctx);
  EXPECT_EQ(records(), lines({"LAN,LAN,コンピュータ名,DESKTOP-7H2K9QX,", "LAN,LAN,ドメイン,WORKGROUP,",
                              "WMI,System,Vendor,Dell Inc.,", "WMI,System,Model,OptiPlex 7060,",
                              "LAN,LAN,ユーザー名,DESKTOP-7H2K9QX\\yamada,", "LAN,LAN,ワークグループ,WORKGROUP,"}));
  EXPECT_EQ(ctx.recordedComputerName, "DESKTOP-7H2K9QX");
}

TEST_F(WmiCollectorsTest, NullWorkgroupStillGivesItsRecord) {
  load("laptop_domain.txt");
  GetPC(ctx);
  EXPECT_NE(records().find(line("LAN,LAN,ワークグループ,,")), std::string::npos) << records();
  EXPECT_NE(records().find(line("LAN,LAN,ドメイン,corp.example.co.jp,")), std::string::npos);
}

TEST_F(WmiCollectorsTest, ChassisNamesByExactText) {
  GetPCCase(ctx);
  load("laptop_domain.txt");
  GetPCCase(ctx);
  load("wine.txt");
  GetPCCase(ctx);
  load("odd_values.txt");  // {3,10}, 25 and an embedded object
  GetPCCase(ctx);
  EXPECT_EQ(records(), lines({"WMI,System,PC_Type,Desktop,", "WMI,System,PC_Type,Notebook,",
                              "WMI,System,PC_Type,Unknown,", "WMI,System,PC_Type,Unknown,",
                              "WMI,System,PC_Type,Unknown,", "WMI,System,PC_Type,Unknown,"}));
}

TEST_F(WmiCollectorsTest, BaseBoard) {
  GetMB(ctx);
  EXPECT_EQ(records(), lines({"WMI,MotherBoard,Vendor,Dell Inc.,", "WMI,MotherBoard,Product,0X8DXD,",
                              "WMI,MotherBoard,SerialNo,/5CG1234XYZ/CN1296372R0123/,"}));
}

TEST_F(WmiCollectorsTest, UuidFallsBackToTheBoardOnlyForTheAllZeroId) {
  GetUUID(ctx);
  EXPECT_EQ(records(), line("WMI,MotherBoard,Device_ID,{4C4C4544-0042-3510-8052-B4C04F4E3732},"));
  EXPECT_FALSE(queried("Select * from Win32_BaseBoard"));

  load("laptop_domain.txt");
  GetUUID(ctx);
  load("wine.txt");  // a null id is no all-zero id
  GetUUID(ctx);
  EXPECT_EQ(records(), lines({"WMI,MotherBoard,Device_ID,{4C4C4544-0042-3510-8052-B4C04F4E3732},",
                              "WMI,MotherBoard,Device_ID,LENOVOL1HF12345678,", "WMI,MotherBoard,Device_ID,{},"}));
}

TEST_F(WmiCollectorsTest, AnAllZeroIdAfterARealOneStillAddsTheBoardRecord) {
  auto& products = p.wmi.answers["Select * from Win32_ComputerSystemProduct"];
  products.push_back(products.front());
  products.back().properties = {{"UUID", platform::PropertyValue::ofText("00000000-0000-0000-0000-000000000000")}};
  GetUUID(ctx);
  EXPECT_EQ(records(), lines({"WMI,MotherBoard,Device_ID,{4C4C4544-0042-3510-8052-B4C04F4E3732},",
                              "WMI,MotherBoard,Device_ID,Dell Inc./5CG1234XYZ/CN1296372R0123/,"}));
}

TEST_F(WmiCollectorsTest, UuidRecordIsWrittenEvenWhenBothQueriesFail) {
  p.wmi.answers.clear();
  GetUUID(ctx);
  EXPECT_EQ(records(), line("WMI,MotherBoard,Device_ID,,"));
  EXPECT_EQ(loggedProcedures(), (Strings{"GetUUID", "GetUUID"}));
}

TEST_F(WmiCollectorsTest, DisplayMonitorSizeWinsOverTheConfiguration) {
  GetDisplay(ctx);
  load("wine.txt");
  GetDisplay(ctx);
  EXPECT_EQ(records(), lines({"Hard,画面,解像度,1920 x 1200 32Bit,", "Hard,画面,解像度,x  Bit,"}));
}

TEST_F(WmiCollectorsTest, KeyboardsOnePerInstanceAndValuesWithoutText) {
  GetKeyboard(ctx);
  load("odd_values.txt");
  GetKeyboard(ctx);
  EXPECT_EQ(records(), lines({"Hard,Keyboard,キーボード,HID キーボード デバイス,",
                              "Hard,Keyboard,キーボード,<CIM_OBJECT (embedded SWbemObject)>,",
                              "Hard,Keyboard,キーボード,,"}));
  EXPECT_EQ(loggedProcedures(), Strings{"CnvVal"});
}

TEST_F(WmiCollectorsTest, DefaultPrintersWithTheirPortsAsUnit) {
  GetPrinter(ctx);
  load("laptop_domain.txt");
  GetPrinter(ctx);
  // The second laptop printer's port cannot be read: its unit is empty,
  // not the port of the printer before it.
  EXPECT_EQ(records(), lines({"Hard,Printer,デフォルトプリンタ,Canon iR-ADV C3530 III 3F,IP_192.168.1.50",
                              "Hard,Printer,デフォルトプリンタ,Microsoft Print to PDF,PORTPROMPT:",
                              "Hard,Printer,デフォルトプリンタ,RICOH MP C3004 (リモート),"}));
  EXPECT_EQ(loggedProcedures(), Strings{"GetPrinter"});
}

TEST_F(WmiCollectorsTest, NoWmiAtAllLogsEachCollectorOnceAndWritesOnlyTheClosingRecords) {
  p.wmi.failConnect = true;
  std::string drive;
  GetCPU(ctx);
  GetBIOS(ctx);
  GetPC(ctx);
  GetWindows(ctx, drive);
  GetDisk(ctx, drive);
  GetPCCase(ctx);
  GetMB(ctx);
  GetUUID(ctx);
  GetDisplay(ctx);
  GetKeyboard(ctx);
  GetPrinter(ctx);
  EXPECT_EQ(records(), lines({"Hard,Hard Disk,合計量,0,MB", "WMI,MotherBoard,Device_ID,,", "Hard,画面,解像度,x  Bit,"}));
  EXPECT_EQ(loggedProcedures(), (Strings{"GetCPU", "GetBIOS", "GetPC", "GetWindows", "GetDisk", "GetPCCase", "GetMB",
                                         "GetUUID", "GetDisplay", "GetKeyboard", "GetPrinter"}));
  EXPECT_TRUE(drive.empty());
}

}  // namespace
}  // namespace th

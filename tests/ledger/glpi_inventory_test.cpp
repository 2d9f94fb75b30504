// One PC's records mapped to GLPI's inventory format: what is there, and
// nothing that is not.
#include "ledger/exports/glpi_inventory.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ledger/exports/glpi_export.h"
#include "ledger/records/input_files.h"
#include "ledger_fixture.h"

namespace th::ledger {
namespace {

using nlohmann::json;

std::vector<StoredRecord> Records(std::initializer_list<std::array<const char*, 5>> rows) {
  std::vector<StoredRecord> out;
  for (const auto& r : rows) out.push_back({r[0], r[1], r[2], r[3], r[4]});
  return out;
}

TEST(GlpiInventory, MapsWhatTheRecordHolds) {
  GlpiPc pc;
  pc.number = "abc-05-0012";
  pc.firstCollectedAt = "2026-11-02 08:00:00";
  pc.os = "Microsoft Windows 7 Professional 64 ビット";
  pc.osVersion = "Service Pack 1";
  pc.tag = "総務部";
  pc.cutShort = true;
  pc.records = Records({
      {"Create", "DateTime", "2026/12/06", "09:05:07", ""},
      {"LAN", "Adapter", "MACアドレス", "00-1A-2B-3C-4D-5E", ""},
      {"LAN", "Adapter", "IPアドレス", "fe80::1%4 192.168.1.20", ""},
      {"LAN", "Adapter", "サブネットマスク", "64 255.255.255.0", ""},
      {"LAN", "Adapter", "ゲートウェイ", "192.168.1.1", ""},
      {"LAN", "Adapter", "DHCPServer", "192.168.1.2", ""},
      {"LAN", "Adapter", "PrimaryDNS", "192.168.1.3", ""},
      {"LAN", "Adapter2", "MACアドレス", "00-1A-2B-3C-4D-6F", ""},
      {"LAN", "Adapter2", "IPアドレス", "", ""},
      {"LAN", "Adapter2", "PrimaryDNS", "192.168.1.3", ""},
      {"LAN", "Adapter2", "SecondaryDNS", "10.0.0.3", ""},
      {"LAN", "Adapter3", "MACアドレス", "00-1A-2B-3C-4D-5E", ""},  // a second adapter with the MAC of the first
      {"LAN", "Adapter4", "IPアドレス", "10.0.0.9", ""},
      {"Soft", "OS", "Version", "Microsoft Windows 7 Professional 64 ビット (Service Pack 1)", ""},
      {"Soft", "OS", "ProductID", "00371-OEM-9044632-11111", ""},
      {"LAN", "LAN", "コンピュータ名", "PC-ALPHA", ""},
      {"LAN", "LAN", "コンピュータの説明", "受付", ""},
      {"Hard", "メモリ", "全容量", "8302456", "KB"},
      {"Hard", "SystemHDD", "Drive", "C:", ""},
      {"Hard", "SystemHDD", "全容量", "237873", "MB"},
      {"Hard", "SystemHDD", "空容量", "100000", "MB"},
      {"Hard", "CPU", "NameString", "Intel(R) Core(TM) i5-8500 CPU @ 3.00GHz", ""},
      {"WMI", "BIOS", "Vendor", "LENOVO", ""},
      {"WMI", "BIOS", "Caption", "M1AKT45A", ""},
      {"WMI", "BIOS", "Version", "LENOVO - 1380", ""},  // the ACPI table's revision, not the firmware's
      {"WMI", "BIOS", "ReleaseDate", "2019/04/25", ""},
      {"WMI", "BIOS", "SerialNo", "000123", ""},
      {"WMI", "System", "Vendor", "LENOVO", ""},
      {"WMI", "System", "Model", "10T7", ""},
      {"WMI", "System", "PC_Type", "Desktop", ""},
      {"LAN", "LAN", "ドメイン", "", ""},
      {"LAN", "LAN", "ワークグループ", "WORKGROUP", ""},
      {"LAN", "LAN", "ユーザー名", "PC-ALPHA\\yamada", ""},
      {"WMI", "MotherBoard", "Vendor", "LENOVO", ""},
      {"WMI", "MotherBoard", "Product", "3136", ""},
      {"WMI", "MotherBoard", "SerialNo", "L1HF91", ""},
      {"WMI", "MotherBoard", "Device_ID", "{4C4C4544-0042-3010-8048-B6C04F503732}", ""},
      {"Soft", "Application", "7-Zip 19.00", "19.00", "Igor Pavlov"},
      {"Soft", "Application", "Office 16", "16.0", "00202-51234-12345-AA123"},
      {"Soft", "Application", "社内ツール", "", "C:\\Tools\\社内"},
      {"Platform", "CPU", "Identifier", "Intel64 Family 6 Model 158 Stepping 10", ""},
      {"Platform", "Firmware", "SecureBootCapable", "1", ""},
      {"Platform", "Firmware", "SecureBootEnabled", "0", ""},
      {"資産", "管理情報", "管理番号", "abc-05-0012", ""},
  });
  const json expected = json::parse(R"({
    "action": "inventory", "deviceid": "abc-05-0012-2026-11-02-08-00-00", "itemtype": "Computer", "partial": true,
    "tag": "総務部",
    "content": {
      "versionclient": "Tallyhawk-Ledger_)" TALLYHAWK_VERSION R"js(",
      "bios": {"smanufacturer": "LENOVO", "smodel": "10T7", "ssn": "000123", "bmanufacturer": "LENOVO",
               "bversion": "M1AKT45A", "bdate": "2019-04-25", "mmanufacturer": "LENOVO", "mmodel": "3136",
               "msn": "L1HF91", "assettag": "abc-05-0012", "secure_boot": "disabled"},
      "hardware": {"name": "PC-ALPHA", "uuid": "4C4C4544-0042-3010-8048-B6C04F503732", "workgroup": "WORKGROUP",
                   "memory": 8107, "lastloggeduser": "yamada", "description": "受付", "chassis_type": "Desktop",
                   "winprodid": "00371-OEM-9044632-11111", "dns": "192.168.1.3/10.0.0.3"},
      "operatingsystem": {"arch": "64-bit", "full_name": "Microsoft Windows 7 Professional",
                          "service_pack": "Service Pack 1"},
      "cpus": [{"name": "Intel(R) Core(TM) i5-8500 CPU @ 3.00GHz", "description": "Intel64 Family 6 Model 158 Stepping 10",
                "familynumber": "6", "model": "158", "stepping": 10}],
      "drives": [{"letter": "C:", "total": 237873, "free": 100000, "systemdrive": true}],
      "memories": [{"capacity": 8107, "description": "Total memory"}],
      "networks": [
        {"description": "00:1a:2b:3c:4d:5e", "mac": "00:1a:2b:3c:4d:5e", "ipdhcp": "192.168.1.2", "ipaddress6": "fe80::1"},
        {"description": "00:1a:2b:3c:4d:5e", "mac": "00:1a:2b:3c:4d:5e", "ipdhcp": "192.168.1.2",
         "ipaddress": "192.168.1.20", "ipmask": "255.255.255.0", "ipgateway": "192.168.1.1"},
        {"description": "00:1a:2b:3c:4d:6f", "mac": "00:1a:2b:3c:4d:6f"},
        {"description": "00:1a:2b:3c:4d:5e (2)", "mac": "00:1a:2b:3c:4d:5e"},
        {"description": "Adapter4", "ipaddress": "10.0.0.9"}],
      "softwares": [{"name": "7-Zip 19.00", "version": "19.00", "publisher": "Igor Pavlov"},
                    {"name": "Office 16", "version": "16.0"},
                    {"name": "社内ツール"}]
    }})js");
  EXPECT_EQ(json(GlpiInventory(pc)), expected);
}

TEST(GlpiInventory, LeavesOutWhatTheRecordLacks) {
  GlpiPc pc;
  pc.number = "abc-05-0013";
  pc.firstCollectedAt = "2026-12-06";
  pc.tag = "";
  pc.records = Records({
      {"Hard", "メモリ", "全容量", "8 GB", "KB"},                  // not a number of kilobytes
      {"WMI", "MotherBoard", "Device_ID", "LENOVOL1HF91", ""},     // the board's maker and serial: no UUID
      {"WMI", "BIOS", "ReleaseDate", "2019/4/5", ""},              // not a date GLPI reads
      {"LAN", "Adapter", "IPアドレス", "192.168.1.256 fe80::g%4", ""},  // not addresses
      {"LAN", "LAN", "コンピュータ名", "  ", ""},                    // no name: the number instead
      {"Soft", "Application", "", "1.0", "Nobody"},                // no name
  });
  const json expected = json::parse(R"({
    "action": "inventory", "deviceid": "abc-05-0013-2026-12-06", "itemtype": "Computer",
    "content": {"versionclient": "Tallyhawk-Ledger_)" TALLYHAWK_VERSION R"(", "bios": {"assettag": "abc-05-0013"},
                "hardware": {"name": "abc-05-0013"}, "networks": [{"description": "Adapter"}]}})");
  EXPECT_EQ(json(GlpiInventory(pc)), expected);
  pc.records = Records({{"WMI", "BIOS", "ReleaseDate", "2019/02/30", ""}});  // no such day
  EXPECT_FALSE(json(GlpiInventory(pc))["content"]["bios"].contains("bdate"));
}

TEST(GlpiInventory, SecureBootAndTheProcessorsSignatureAsThePlatformLinesSayThem) {
  // Capable, enabled, identifier (as the client writes them: empty where unreadable) -> bios and cpus.
  const std::array<const char*, 5> cases[] = {
      {"1", "1", "AMD64 Family 23 Model 113 Stepping 0", R"("enabled")",
       R"([{"description": "AMD64 Family 23 Model 113 Stepping 0", "familynumber": "23", "model": "113", "stepping": 0}])"},
      {"0", "0", "", R"("unsupported")", "null"},  // legacy firmware
      {"1", "0", "", R"("disabled")", "null"},
      {"", "", "ARMv8 (64-bit) Family 8 Model D4B Revision   0", "null",  // Windows 7 reads no Secure Boot
       R"([{"description": "ARMv8 (64-bit) Family 8 Model D4B Revision   0", "familynumber": "8", "model": "D4B"}])"},
  };
  for (const auto& [capable, enabled, identifier, secureBoot, cpus] : cases) {
    GlpiPc pc;
    pc.number = "abc-05-0014";
    pc.records = Records({{"Platform", "Firmware", "SecureBootCapable", capable, capable[0] ? "" : "unsupported"},
                          {"Platform", "Firmware", "SecureBootEnabled", enabled, enabled[0] ? "" : "unsupported"},
                          {"Platform", "CPU", "Identifier", identifier, ""}});
    const json content = json(GlpiInventory(pc))["content"];
    EXPECT_EQ(content["bios"].value("secure_boot", json()), json::parse(secureBoot)) << identifier;
    EXPECT_EQ(content.value("cpus", json()), json::parse(cpus)) << identifier;
  }
}

TEST(GlpiInventory, TellsAPublisherFromAProductIdOrAFolder) {
  const std::pair<const char*, bool> cases[] = {
      {"Igor Pavlov", true},
      {"3M", true},
      {"12345678901234567890", false},
      {"Microsoft Corporation", true},
      {"00330-80000-00000-AA478", false},
      {"{90160000-0011-0000-1000-0000000FF1CE}", false},
      {"{AD62E732BF0B91B2}", false},
      {"C:\\Program Files\\Alpha", false},
      {"D:", false},
      {"\\\\server\\share", false},
      {"", false},
  };
  for (const auto& [unit, publisher] : cases) EXPECT_EQ(UnitIsPublisher(unit), publisher) << unit;
}

}  // namespace
}  // namespace th::ledger

namespace th::ledger::test {
namespace {

TEST(GlpiFiles, NameAFileAfterItsNumberWithWhatAFileNameHolds) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc-05-0012", "abc-05-0012"}, {"総務-01", "総務-01"}, {"a/b\\c:d", "a_b_c_d"}, {"x*y?\"<>|", "x_y_____"},
      {"..", "_.._"}, {"abc ", "_abc _"}, {"abc.", "_abc._"}, {"", "__"},
      // Names Windows keeps for devices, in any case, also before an extension or blanks.
      {"CON", "_CON"}, {"nul", "_nul"}, {"Com1", "_Com1"}, {"LPT9.x", "_LPT9.x"}, {"aux .1", "_aux .1"},
      {"COM\u00B9", "_COM\u00B9"}, {"conout$", "_conout$"}, {"COM10", "COM10"}, {"CONSOLE", "CONSOLE"}, {"xNUL", "xNUL"},
      {"COM0", "_COM0"}, {"lpt0.json", "_lpt0.json"}, {"LPT\u00B2", "_LPT\u00B2"}, {"com\u00B3 ", "_com\u00B3 _"},
      {"COM\u2074", "COM\u2074"},  // only ¹ ² ³ are devices
  };
  for (const auto& [number, stem] : cases) EXPECT_EQ(GlpiFileStem(number), stem) << number;
}

TEST_F(LedgerTest, GlpiFilesOfNumbersThatDifferInCaseAreBothKept) {
  write({.key = "abc-05-0012", .computer = "PC-ALPHA", .uuid = "{1111}", .mac = "00-1A-2B-3C-4D-5E"});
  write({.key = "ABC-05-0012", .computer = "PC-BETA", .uuid = "{2222}", .mac = "00-1A-2B-3C-4D-5F"}, "other.csv");
  import();
  EXPECT_EQ(WriteGlpiInventory(db(), dir / "glpi", std::nullopt).written, 2u);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir / "glpi")) names.push_back(Utf8FromPath(entry.path().filename()));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ABC-05-0012.json", "abc-05-0012 (2).json", "glpi-inventory.zip"}));
  std::ifstream second(dir / "glpi" / "abc-05-0012 (2).json");
  const auto json = nlohmann::json::parse(second);
  EXPECT_EQ(json["content"]["bios"]["assettag"], "abc-05-0012");
}

}  // namespace
}  // namespace th::ledger::test

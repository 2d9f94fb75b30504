#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "collect/platform_facts.h"
#include "fakes/record_run.h"

namespace th {
namespace {

const std::string kCpu = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
const std::string kState = "SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State";
const std::string kServicing = "SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\Servicing";
const std::string kNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kIndicators = kNt + "\\AppCompatFlags\\TargetVersionUpgradeExperienceIndicators";

// A Windows 10 PC that answers everything: what every row starts from.
void SupportedPc(test::FakePlatform& p) {
  p.machine = {};
  p.machine.processors = 8;
  p.machine.memoryKb = std::uint64_t{16777216};
  p.machine.firmware = 2u;
  p.machine.secureBootState = platform::SecureBoot{true, false};
  p.machine.tpm = 2u;
  p.registry.keys[kCpu] = {{"VendorIdentifier", "GenuineIntel"}, {"Identifier", "Intel64 Family 6 Model 158 Stepping 10"}};
  p.registry.dwords[kCpu] = {{"Platform Specific Field 1", 8}};
  p.registry.keys[kServicing] = {{"UEFICA2023Status", "NotStarted"}};
  p.registry.keys[kNt] = {{"CurrentBuild", "19045"}, {"DisplayVersion", "22H2"}, {"EditionID", "Professional"}};
  p.registry.dwords[kNt] = {{"UBR", 6456}};
  p.registry.keys[kIndicators + "\\GE24H2"] = {{"UpgEx", "Green"}, {"RedReason", "None"}};
}

// Item,SubItem,Contents,Unit of each Platform record, in order.
const std::vector<std::string> kSupportedLines = {
    "Section,Version,1,",
    "CPU,Vendor,GenuineIntel,",
    "CPU,Identifier,Intel64 Family 6 Model 158 Stepping 10,",
    "CPU,PlatformId,8,",
    "CPU,Arm81Atomics,0,",
    "CPU,LogicalProcessors,8,",
    "CPU,Architecture,x64,",
    "Memory,Installed,16777216,KB",
    "Firmware,Type,UEFI,",
    "Firmware,SecureBootCapable,1,",
    "Firmware,SecureBootEnabled,0,",
    "Firmware,SecureBootCA2023,NotStarted,",
    "TPM,Version,2.0,",
    "OS,CurrentBuild,19045,",
    "OS,UBR,6456,",
    "OS,DisplayVersion,22H2,",
    "OS,EditionID,Professional,",
    "Appraiser,GE24H2,Green,None",
    "Appraiser,Bypass,,",
};

struct Case {
  const char* name;
  std::function<void(test::FakePlatform&)> change;
  // Lines of the supported PC that differ, by their Item,SubItem: each
  // becomes the lines given (none: left out).
  std::map<std::string, std::vector<std::string>> differ;
};

const Case kCases[] = {
    {"a supported PC as it is", [](test::FakePlatform&) {}, {}},
    {"Windows 7 without the later functions and values",
     [](test::FakePlatform& p) {
       p.machine = {};  // memory and processors still told
       p.registry.dwords.clear();
       p.registry.keys.erase(kServicing);
       p.registry.keys[kNt] = {{"CurrentBuild", "7601"}, {"EditionID", "Professional"}};
       p.registry.keys.erase(kIndicators + "\\GE24H2");
     },
     {{"CPU,PlatformId", {"CPU,PlatformId,,unsupported"}},
      {"CPU,LogicalProcessors", {"CPU,LogicalProcessors,4,"}}, {"Memory,Installed", {"Memory,Installed,8388608,KB"}},
      {"Firmware,Type", {"Firmware,Type,,unsupported"}},
      {"Firmware,SecureBootCapable", {"Firmware,SecureBootCapable,,unsupported"}},
      {"Firmware,SecureBootEnabled", {"Firmware,SecureBootEnabled,,unsupported"}},
      {"Firmware,SecureBootCA2023", {"Firmware,SecureBootCA2023,,unsupported"}},
      {"TPM,Version", {"TPM,Version,,unsupported"}}, {"OS,CurrentBuild", {"OS,CurrentBuild,7601,"}},
      {"OS,UBR", {"OS,UBR,,unsupported"}}, {"OS,DisplayVersion", {"OS,DisplayVersion,,unsupported"}},
      {"Appraiser,GE24H2", {"Appraiser,Targets,,none"}}}},
    {"a standard user refused: the registry still tells Secure Boot",
     [](test::FakePlatform& p) {
       p.machine.secureBootState = platform::kDenied;
       p.registry.dwords[kState] = {{"UEFISecureBootEnabled", 1}};
       p.machine.tpm = platform::kDenied;
       p.registry.refused[kServicing] = platform::kDenied;
       p.registry.refused[kIndicators] = platform::kDenied;
       p.registry.refused["SYSTEM\\Setup\\LabConfig"] = platform::kDenied;
     },
     {{"Firmware,SecureBootEnabled", {"Firmware,SecureBootEnabled,1,"}},
      {"Firmware,SecureBootCA2023", {"Firmware,SecureBootCA2023,,denied"}}, {"TPM,Version", {"TPM,Version,,denied"}},
      {"Appraiser,GE24H2", {"Appraiser,Targets,,denied"}}, {"Appraiser,Bypass", {"Appraiser,Bypass,,denied"}}}},
    {"TPM switched off, legacy BIOS, a virtual machine's memory, odd values",
     [](test::FakePlatform& p) {
       p.machine.tpm = 0u;
       p.machine.firmware = 1u;
       p.machine.secureBootState = platform::kUnsupported;
       p.registry.dwords[kState] = {{"UEFISecureBootEnabled", 0}};
       p.machine.memoryKb = std::uint64_t{0};
       p.machine.arch = platform::kUnsupported;
       p.registry.dwords[kCpu].clear();
       p.registry.keys[kCpu]["Platform Specific Field 1"] = "8";  // not a DWORD
       p.registry.keys[kNt]["DisplayVersion"] = "  ";
       p.registry.keys[kIndicators + "\\GE24H2"] = {{"RedReason", "Tpm"}};  // no verdict
     },
     {{"CPU,PlatformId", {"CPU,PlatformId,,error 0x0000065D"}},
      {"CPU,Architecture", {"CPU,Architecture,,unsupported"}},
      {"Memory,Installed", {"Memory,Installed,,unsupported"}}, {"Firmware,Type", {"Firmware,Type,BIOS,"}},
      {"Firmware,SecureBootCapable", {"Firmware,SecureBootCapable,,unsupported"}},
      {"Firmware,SecureBootEnabled", {"Firmware,SecureBootEnabled,0,"}}, {"TPM,Version", {"TPM,Version,none,"}},
      {"OS,DisplayVersion", {"OS,DisplayVersion,,unsupported"}},
      {"Appraiser,GE24H2", {"Appraiser,GE24H2,,unsupported"}}}},
    {"Windows on ARM past the checks: targets each, tokens apart, every bypass mark",
     [](test::FakePlatform& p) {
       p.machine.arch = std::string("ARM64");
       p.machine.features = {34};
       p.registry.keys[kCpu]["VendorIdentifier"] = "Qualcomm Technologies Inc";
       p.registry.keys[kIndicators + "\\GE24H2"] = {{"UpgEx", "Red"}, {"RedReason", "CpuFms, Tpm,UefiSecureBoot"}};
       p.registry.keys[kIndicators + "\\CO21H2"] = {{"UpgEx", "Yellow"}};
       p.registry.dwords["SYSTEM\\Setup\\MoSetup"] = {{"AllowUpgradesWithUnsupportedTPMOrCPU", 1}};
       p.registry.dwords["SYSTEM\\Setup\\LabConfig"] = {{"BypassTPMCheck", 0}, {"BypassRAMCheck", 1}};
       p.registry.keys[kNt + "\\AppCompatFlags\\HwReqChk"] = {{"HwReqChkVars", "SQ_TpmVersion=2"}};
     },
     {{"CPU,Vendor", {"CPU,Vendor,Qualcomm Technologies Inc,"}},
      {"CPU,Arm81Atomics", {"CPU,Arm81Atomics,1,"}}, {"CPU,Architecture", {"CPU,Architecture,ARM64,"}},
      {"Appraiser,GE24H2", {"Appraiser,CO21H2,Yellow,", "Appraiser,GE24H2,Red,CpuFms Tpm UefiSecureBoot"}},
      {"Appraiser,Bypass", {"Appraiser,Bypass,MoSetup LabConfig HwReqChk,"}}}},
};

TEST(PlatformFacts, EveryLineOnEveryPcWithItsValueOrWhyNot) {
  for (const Case& c : kCases) {
    test::RecordRun run;
    SupportedPc(run.p);
    c.change(run.p);
    std::vector<std::string> expected;
    for (const std::string& line : kSupportedLines) {
      const auto differs = c.differ.find(line.substr(0, line.find(',', line.find(',') + 1)));
      for (const std::string& l : differs == c.differ.end() ? std::vector<std::string>{line} : differs->second) {
        expected.push_back("Platform," + l);
      }
    }
    GetPlatform(run.ctx);
    EXPECT_EQ(run.records(), test::RecordRun::lines(expected)) << c.name;
    EXPECT_FALSE(run.p.fs.hasFile(test::RecordRun::kLogFile)) << c.name;
  }
}

}  // namespace
}  // namespace th

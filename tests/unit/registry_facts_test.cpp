#include <gtest/gtest.h>

#include "collect/registry_facts.h"
#include "fakes/record_run.h"

namespace th {
namespace {

const std::string kCpuKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
const std::string kEnvKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::string kNtKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kOldKey = "SOFTWARE\\Microsoft\\Windows\\VersionNumber";

struct RegistryFactsTest : ::testing::Test, test::RecordRun {
  auto& key(const std::string& path) { return p.registry.keys[path]; }
  void expectFields(const std::string& group, const std::string& item, const std::string& subItem) {
    EXPECT_EQ(ctx.rec.Group, group);
    EXPECT_EQ(ctx.rec.Item, item);
    EXPECT_EQ(ctx.rec.SubItem, subItem);
    EXPECT_EQ(ctx.rec.Contents, "");
    EXPECT_EQ(ctx.rec.Unit, "");
  }
  // The OS version text GetOSVersion records for a given registry.
  std::string version() {
    ctx.recordedOsVersion.clear();
    GetOSVersion(ctx);
    return ctx.recordedOsVersion;
  }
};

TEST_F(RegistryFactsTest, ProcessorNameWithoutItsBlanks) {
  key(kCpuKey)["ProcessorNameString"] = "   Intel(R) Core(TM) i5-8500 CPU @ 3.00GHz ";
  EXPECT_TRUE(GetCPUName(ctx));
  EXPECT_EQ(records(), line("Hard,CPU,NameString,Intel(R) Core(TM) i5-8500 CPU @ 3.00GHz,"));
}

TEST_F(RegistryFactsTest, NoProcessorNameWritesNothingButSetsTheFields) {
  ctx.rec = {"abc-05-0012", "Soft", "OS", "Version", "stale", "KB", "2026/12/06"};
  EXPECT_FALSE(GetCPUName(ctx));  // no key
  expectFields("Hard", "CPU", "NameString");
  key(kCpuKey)["ProcessorNameString"] = "   ";
  EXPECT_FALSE(GetCPUName(ctx));  // blanks only
  key(kCpuKey)["ProcessorNameString"] = std::string(256, 'x');
  EXPECT_FALSE(GetCPUName(ctx));  // does not fit the 256-byte buffer
  EXPECT_EQ(records(), "");
  EXPECT_FALSE(p.fs.hasFile(kLogFile));
}

TEST_F(RegistryFactsTest, VersionTextFromProductWordSizeAndServicePack) {
  key(kEnvKey)["PROCESSOR_ARCHITECTURE"] = "AMD64";
  key(kNtKey)["ProductName"] = "Windows 10 Pro";
  EXPECT_EQ(version(), "Windows 10 Pro 64 ビット");
  key(kNtKey)["CSDVersion"] = "";
  EXPECT_EQ(version(), "Windows 10 Pro 64 ビット");
  key(kNtKey)["CSDVersion"] = "Service Pack 1";
  key(kEnvKey)["PROCESSOR_ARCHITECTURE"] = "x86";
  EXPECT_EQ(version(), "Windows 10 Pro 32 ビット (Service Pack 1)");
  key(kEnvKey)["PROCESSOR_ARCHITECTURE"] = "ARM";
  EXPECT_EQ(version(), "Windows 10 Pro ARM (Service Pack 1)");
  key(kEnvKey)["PROCESSOR_ARCHITECTURE"] = "IA64";
  EXPECT_EQ(version(), "Windows 10 Pro 64 ビット (Service Pack 1)");
  key(kEnvKey).clear();
  EXPECT_EQ(version(), "Windows 10 Pro  (Service Pack 1)");
  key(kNtKey).erase("CSDVersion");
  EXPECT_EQ(version(), "Windows 10 Pro ");
  // The file holds the text as the record writer cleans it.
  EXPECT_EQ(records().substr(records().rfind("abc-05-0012")), line("Soft,OS,Version,Windows 10 Pro,"));
}

// Windows 11 kept Windows 10's product name; its build number tells them apart.
TEST_F(RegistryFactsTest, Build22000OnIsWindows11) {
  key(kEnvKey)["PROCESSOR_ARCHITECTURE"] = "AMD64";
  key(kNtKey)["ProductName"] = "Windows 10 Pro";
  for (const auto& [build, expected] : std::vector<std::pair<std::string, std::string>>{
           {"19045", "Windows 10 Pro 64 ビット"}, {"21999", "Windows 10 Pro 64 ビット"},
           {"22000", "Windows 11 Pro 64 ビット"}, {"26100", "Windows 11 Pro 64 ビット"},
           {"100000", "Windows 11 Pro 64 ビット"}, {"22H2", "Windows 10 Pro 64 ビット"}}) {
    key(kNtKey)["CurrentBuild"] = build;
    EXPECT_EQ(version(), expected) << build;
  }
  key(kNtKey)["ProductName"] = "Windows Server 2022 Standard";  // no "Windows 10" to correct
  EXPECT_EQ(version(), "Windows Server 2022 Standard 64 ビット");
}

TEST_F(RegistryFactsTest, OlderKeyOnlyWhenTheFirstGaveNoProductAndItsMissingValuesKeepTheFirsts) {
  key(kEnvKey)["PROCESSOR_ARCHITECTURE"] = "x86";
  key(kNtKey)["CSDVersion"] = "Service Pack 2";
  key(kOldKey)["ProductName"] = "Windows XP Professional";
  EXPECT_EQ(version(), "Windows XP Professional 32 ビット (Service Pack 2)");
  EXPECT_EQ(records(), line("Soft,OS,Version,Windows XP Professional 32 ビット (Service Pack 2),"));

  key(kNtKey)["ProductName"] = "Windows 7 Professional";  // the first key wins when it has a product
  EXPECT_EQ(version(), "Windows 7 Professional 32 ビット (Service Pack 2)");
  EXPECT_EQ(records(), lines({"Soft,OS,Version,Windows XP Professional 32 ビット (Service Pack 2),",
                              "Soft,OS,Version,Windows 7 Professional 32 ビット (Service Pack 2),"}));

  p.registry.keys.erase(kOldKey);
  p.registry.keys[kNtKey].erase("ProductName");
  EXPECT_EQ(version(), "");  // no product name anywhere
}

TEST_F(RegistryFactsTest, AnOsVersionFromWmiMeansNoRegistryReadAtAll) {
  ctx.recordedOsVersion = "Microsoft Windows 10 Pro 64 ビット";
  key(kNtKey)["ProductName"] = "Windows 10 Pro";
  GetOSVersion(ctx);
  expectFields("Soft", "OS", "Version");
  EXPECT_TRUE(p.registry.opened.empty());
  EXPECT_EQ(records(), "");
}

}  // namespace
}  // namespace th

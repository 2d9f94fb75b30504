// The WMI seam against the real COM WMI (run under Wine).
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "platform/failure.h"
#include "platform/win32/win_wmi.h"

namespace th::win32 {
namespace {

using Kind = platform::PropertyValue::Kind;

const std::string kMoniker = "winmgmts:\\\\.\\root\\cimv2";

struct WinWmiTest : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }

  static const platform::PropertyValue* find(const std::vector<platform::Property>& list, const std::string& name) {
    for (const auto& [n, v] : list) {
      if (n == name) return &v;
    }
    return nullptr;
  }
  static std::string folded(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  }

  WinWmi wmi;
};

TEST_F(WinWmiTest, OperatingSystemIsOneInstanceListingItsOwnPropertiesOnly) {
  auto wmiConnection = wmi.connect(kMoniker);
  auto found = wmiConnection->query("Select * from Win32_OperatingSystem");
  ASSERT_EQ(found.size(), 1u);
  const auto list = found[0]->properties();
  const auto* caption = find(list, "Caption");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->kind, Kind::Text);
  EXPECT_EQ(caption->text.rfind("Microsoft Windows", 0), 0u) << caption->text;
  for (const auto& [name, value] : list) EXPECT_NE(name.rfind("__", 0), 0u) << "system property " << name;

  // The order is the instance's own; Wine's is its classes' column order,
  // alphabetical without regard to case.
  std::vector<std::string> names;
  for (const auto& [name, value] : list) names.push_back(folded(name));
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));

  // A named read gives the same value as the list, and does not care for case.
  const auto architecture = found[0]->get("OSArchitecture");
  ASSERT_NE(find(list, "OSArchitecture"), nullptr);
  EXPECT_EQ(architecture.text, find(list, "OSArchitecture")->text);
  EXPECT_EQ(found[0]->get("osarchitecture").text, architecture.text);
  EXPECT_THROW(found[0]->get("NoSuchProperty"), Failure);
}

TEST_F(WinWmiTest, ValuesKeepTheirKinds) {
  auto wmiConnection = wmi.connect(kMoniker);

  // 64-bit integers come as text; the disk's id reads by the documented name.
  auto disks = wmiConnection->query("Select * from Win32_LogicalDisk Where DriveType = 3");
  ASSERT_FALSE(disks.empty());
  const auto size = disks[0]->get("Size");
  ASSERT_EQ(size.kind, Kind::Text);
  EXPECT_FALSE(size.text.empty());
  EXPECT_TRUE(std::all_of(size.text.begin(), size.text.end(), [](char c) { return c >= '0' && c <= '9'; }));
  EXPECT_EQ(disks[0]->get("DeviceID").text.size(), 2u);

  // A list of 16-bit numbers holds real chassis codes (1 to 36), not the
  // stray bytes around them.
  auto enclosures = wmiConnection->query("Select * from Win32_SystemEnclosure");
  ASSERT_FALSE(enclosures.empty());
  const auto types = enclosures[0]->get("ChassisTypes");
  ASSERT_EQ(types.kind, Kind::Array);
  ASSERT_FALSE(types.items.empty());
  for (const auto& t : types.items) {
    EXPECT_EQ(t.kind, Kind::Integer);
    EXPECT_GE(t.integer, 1);
    EXPECT_LE(t.integer, 36);
  }

  auto bios = wmiConnection->query("Select * from Win32_BIOS");
  ASSERT_FALSE(bios.empty());
  const auto released = bios[0]->get("ReleaseDate");
  EXPECT_EQ(released.kind, Kind::Date);
  EXPECT_EQ(released.text.size(), 25u) << released.text;

  auto os = wmiConnection->query("Select * from Win32_OperatingSystem");
  EXPECT_EQ(os.at(0)->get("Primary").kind, Kind::Boolean);
  EXPECT_EQ(os.at(0)->get("OSLanguage").kind, Kind::Integer);

  auto adapters = wmiConnection->query("Select * from Win32_NetworkAdapterConfiguration where IPEnabled=TRUE");
  for (const auto& adapter : adapters) {
    const auto dns = adapter->get("DNSServerSearchOrder");
    EXPECT_TRUE(dns.kind == Kind::Array || dns.kind == Kind::Null);
    for (const auto& server : dns.items) EXPECT_EQ(server.kind, Kind::Text);
  }
}

TEST_F(WinWmiTest, BadQueriesAndMonikers) {
  EXPECT_THROW(wmi.connect("winmgmts:\\\\.\\root\\nosuchnamespace"), Failure);
  EXPECT_THROW(wmi.connect("notwmi:\\\\.\\root\\cimv2"), Failure);
  auto wmiConnection = wmi.connect(kMoniker);
  try {
    wmiConnection->query("Select * frm Win32_BIOS");
    ADD_FAILURE() << "a malformed query gave instances";
  } catch (const Failure& e) {
    EXPECT_NE(std::string(e.what()).find("80041017"), std::string::npos) << e.what();
  }
  // Windows refuses an unknown class; Wine answers it with no instance.
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  if (wine) {
    EXPECT_TRUE(wmiConnection->query("Select * from Win32_NoSuchClassTallyhawk").empty());
  } else {
    EXPECT_THROW(wmiConnection->query("Select * from Win32_NoSuchClassTallyhawk"), Failure);
  }
  // Wine 8 cannot evaluate this condition and fails the query (0x80041001).
  try {
    const auto found = wmiConnection->query("Select * from Win32_BIOS Where PrimaryBIOS = True");
    ADD_FAILURE() << "the primary-BIOS query gave " << found.size() << " instances";
  } catch (const Failure& e) {
    EXPECT_NE(std::string(e.what()).find("80041001"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace th::win32

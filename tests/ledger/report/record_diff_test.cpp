#include "ledger/records/record_diff.h"

#include <gtest/gtest.h>

namespace th::ledger {
namespace {

std::vector<std::string> Describe(const CollectionDiff& d) {
  std::vector<std::string> out;
  for (const auto& v : d.values)
    out.push_back(v.item + "/" + v.subitem + ": " + (v.hadBefore ? v.before : "-") + " > " + (v.hasNow ? v.now : "-"));
  for (const auto& r : d.added) out.push_back("+ " + r.subitem + " " + r.contents);
  for (const auto& r : d.removed) out.push_back("- " + r.subitem + " " + r.contents);
  return out;
}

TEST(DiffCollections, ValuesByKeyAndOccurrenceApplicationsByNameVersionPublisher) {
  const std::vector<Record> before = {
      {"Create", "DateTime", "2026/11/01", "09:00:00", ""},
      {"Hard", "メモリ", "全容量", "8388608", "KB"},
      {"Hard", "Keyboard", "キーボード", "A", ""},
      {"Hard", "Keyboard", "キーボード", "B", ""},
      {"Hard", "Printer", "デフォルトプリンタ", "P1", "USB001"},
      {"Soft", "Application", "Office", "1.0", "Maker"},
      {"Soft", "Application", "Viewer", "2.0", "Maker"},
      {"Soft", "Application", "Viewer", "2.0", "Maker"},
  };
  const std::vector<Record> now = {
      {"Create", "DateTime", "2026/12/01", "10:00:00", ""},
      {"Hard", "メモリ", "全容量", "16777216", "KB"},
      {"Hard", "Keyboard", "キーボード", "A", ""},
      {"Hard", "Keyboard", "キーボード", "C", ""},
      {"LAN", "Adapter2", "MACアドレス", "00-11", ""},
      {"Soft", "Application", "Office", "2.0", "Maker"},
      {"Soft", "Application", "Viewer", "2.0", "Maker"},
  };
  EXPECT_EQ(Describe(DiffCollections(before, now)),
            (std::vector<std::string>{"メモリ/全容量: 8388608 KB > 16777216 KB", "Keyboard/キーボード: B > C",
                                      "Adapter2/MACアドレス: - > 00-11", "Printer/デフォルトプリンタ: P1 USB001 > -",
                                      "+ Office 2.0", "- Office 1.0", "- Viewer 2.0"}));
  EXPECT_TRUE(Describe(DiffCollections(now, now)).empty());
}

// Platform facts: unknown to an older client's collection on either side,
// compared when both hold them; an unreadable one shows its reason.
TEST(DiffCollections, PlatformFactsOnlyBetweenCollectionsThatBothHoldThem) {
  const Record memory8{"Hard", "メモリ", "全容量", "8388608", "KB"}, memory16{"Hard", "メモリ", "全容量", "16777216", "KB"};
  const std::vector<Record> older = {memory8};
  const std::vector<Record> first = {
      memory16,
      {"Platform", "Section", "Version", "1", ""},
      {"Platform", "CPU", "Vendor", "GenuineIntel", ""},
      {"Platform", "Firmware", "SecureBootCA2023", "", "denied"},
      {"Platform", "TPM", "Version", "none", ""},
  };
  const std::vector<Record> second = {
      memory16,
      {"Platform", "Section", "Version", "2", ""},
      {"Platform", "CPU", "Vendor", "GenuineIntel", ""},
      {"Platform", "Firmware", "SecureBootCA2023", "Updated", ""},
      {"Platform", "TPM", "Version", "2.0", ""},
      {"Platform", "OS", "DisplayVersion", "", "unsupported"},
  };
  const struct {
    const char* name;
    const std::vector<Record>&before, &now;
    std::vector<std::string> expected;
  } cases[] = {
      {"older client, then one with the facts", older, first, {"メモリ/全容量: 8388608 KB > 16777216 KB"}},
      {"the facts, then an older client", first, older, {"メモリ/全容量: 16777216 KB > 8388608 KB"}},
      {"both with the facts",
       first,
       second,
       {"Firmware/SecureBootCA2023: (denied) > Updated", "TPM/Version: none > 2.0", "OS/DisplayVersion: - > (unsupported)"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(DiffCollections(c.before, c.now)), c.expected) << c.name;
}

}  // namespace
}  // namespace th::ledger

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

}  // namespace
}  // namespace th::ledger

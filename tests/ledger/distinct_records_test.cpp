#include "ledger/store/distinct_records.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace th::ledger {
namespace {

// Thousands of records, enough for the index to grow several times, met
// twice each in another order: each keeps the number of its first meeting,
// its texts and the texts' numbers.
TEST(DistinctRecords, EachRecordOnceByItsFiveTexts) {
  const auto nth = [](int i) {
    // Fields shared between records, and records differing in one field only.
    return Record{"G" + std::to_string(i % 3), "I" + std::to_string(i % 7), "S" + std::to_string(i / 2), "", "U" + std::to_string(i % 2)};
  };
  DistinctRecords table;
  const int n = 5000;
  for (int i = 0; i < n; ++i) ASSERT_EQ(table.Intern(nth(i)), i);
  for (int i = n - 1; i >= 0; --i) ASSERT_EQ(table.Intern(nth(i)), i);
  EXPECT_EQ(table.Count(), n);
  EXPECT_EQ(table.TextCount(), 3 + 7 + n / 2 + 1 + 2);
  const Record r = table.Get(4321);
  EXPECT_EQ(r.grp + r.item + r.subitem + r.contents + r.unit, "G1I2S2160U1");
  EXPECT_EQ(table.Text(table.FieldText(4321, 2)), "S2160");
  EXPECT_EQ(table.InternText("S2160"), table.FieldText(4320, 2));
  table.CloseIndex();
  EXPECT_EQ(table.Get(4321).subitem, "S2160");
  EXPECT_THROW(table.Intern(nth(1)), std::logic_error);
}

}  // namespace
}  // namespace th::ledger

#include <gtest/gtest.h>

#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

// One folder that trips every check once, beside a PC that trips none.
TEST_F(LedgerTest, EveryCheckIsANamedFinding) {
  write({.key = "abc-05-0001", .computer = "PC-OK", .uuid = "{0001}", .mac = "00-00-00-00-00-01"});
  write({.key = "abc-05-0002", .computer = "PC-CUT", .uuid = "{0002}", .mac = "00-00-00-00-00-02",
         .assetRecords = false});
  write({.key = "abc-05-0003", .computer = "PC-NAME", .uuid = "{0003}", .mac = "00-00-00-00-00-03"},
        "abc-05-0030.csv");
  write({.key = "abc-05-0004", .computer = "PC-NOSOFT", .uuid = "{0004}", .mac = "00-00-00-00-00-04",
         .software = {}});
  // One PC reported under two numbers (a mistyped number): all three identities match.
  write({.key = "abc-05-0005", .computer = "PC-TWICE", .uuid = "{0005}", .mac = "00-00-00-00-00-05"});
  write({.key = "abc-05-0006", .computer = "pc-twice", .uuid = "{0005}", .mac = "00-00-00-00-00-05"});
  // One number from two PCs: the earlier file moved aside.
  write({.key = "abc-05-0007", .date = "2026/11/01", .computer = "PC-FIRST", .uuid = "{0071}",
         .mac = "00-00-00-00-00-71"},
        "abc-05-0007 (前回 2026-11-01 PC-FIRST).csv");
  write({.key = "abc-05-0007", .computer = "PC-SECOND", .uuid = "{0072}", .mac = "00-00-00-00-00-72"});
  write({.key = "abc-05-0008", .date = "2026/01/01", .computer = "PC-OLD", .uuid = "{0008}",
         .mac = "00-00-00-00-00-08"});
  write({.key = "ABC-5-8", .computer = "PC-SHAPE", .uuid = "{0009}", .mac = "00-00-00-00-00-09"});
  writeBytes("notes.csv", "memo\r\n");

  ImportRequest request;
  request.checks.staleDays = 30;
  RegisterList reg;
  for (const char* n : {"abc-05-0001", "abc-05-0002", "abc-05-0003", "abc-05-0004", "abc-05-0005", "abc-05-0006",
                        "abc-05-0007", "abc-05-0008", "abc-05-0099"}) {
    reg.rows.push_back({n, {}});
  }
  request.registerList = reg;
  import(request);

  EXPECT_EQ(query("SELECT kind, COALESCE(number, file) FROM findings ORDER BY id"),
            "rejected|notes.csv\n"
            "cut_short|abc-05-0002\n"
            "name_mismatch|abc-05-0003\n"
            "bad_number|ABC-5-8\n"
            "no_software|abc-05-0004\n"
            "same_uuid|abc-05-0005\n"
            "same_uuid|abc-05-0006\n"
            "same_mac|abc-05-0005\n"
            "same_mac|abc-05-0006\n"
            "same_computer_name|abc-05-0005\n"
            "same_computer_name|abc-05-0006\n"
            "two_pcs|abc-05-0007\n"
            "stale|abc-05-0008\n"
            "not_reported|abc-05-0099\n"
            "not_in_register|ABC-5-8\n"
            "hardware_changed|abc-05-0007");
  EXPECT_EQ(query("SELECT file, detail FROM findings WHERE kind = 'two_pcs'"),
            "abc-05-0007 (前回 2026-11-01 PC-FIRST).csv / abc-05-0007.csv|"
            "PC-FIRST (2026-11-01 09:05:07) / PC-SECOND (2026-12-01 09:05:07)");
  EXPECT_EQ(query("SELECT detail FROM findings WHERE kind = 'same_uuid' LIMIT 1"),
            "UUID {0005}: abc-05-0005 abc-05-0006");
  // The catalogue's kinds have tests of their own.
  EXPECT_EQ(query("SELECT COUNT(*) FROM finding_kinds WHERE kind IN (SELECT kind FROM findings)"),
            query("SELECT COUNT(*) - 4 FROM finding_kinds"));
}

TEST_F(LedgerTest, FindingsDescribeTheDatabaseAfterEachImport) {
  write({.key = "abc-05-0001", .assetRecords = false});
  import();
  EXPECT_EQ(query("SELECT kind FROM findings"), "cut_short");
  // The complete file of the same PC, collected later, replaces the cut one.
  write({.key = "abc-05-0001", .date = "2026/12/02"}, "abc-05-0001 again.csv");
  import();
  EXPECT_EQ(query("SELECT COUNT(*) FROM findings"), "0");
}

}  // namespace
}  // namespace th::ledger::test

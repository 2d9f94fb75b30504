#include <gtest/gtest.h>

#include "ledger/store/finding_kinds.h"
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
  write({.key = "abc-05-0006", .computer = "pc-twice", .uuid = "{0005}", .mac = "00-00-00-00-00-05",
         .records = {"LAN,Adapter2,MACアドレス,00:00:00:00:00:05,"}});  // its number still listed once
  // One number from two PCs: the earlier file moved aside.
  write({.key = "abc-05-0007", .date = "2026/11/01", .computer = "PC-FIRST", .uuid = "{0071}",
         .mac = "00-00-00-00-00-71"},
        "abc-05-0007 (前回 2026-11-01 PC-FIRST).csv");
  write({.key = "abc-05-0007", .computer = "PC-SECOND", .uuid = "{0072}", .mac = "00-00-00-00-00-72"});
  write({.key = "abc-05-0008", .date = "2026/01/01", .computer = "PC-OLD", .uuid = "{0008}",
         .mac = "00-00-00-00-00-08"});
  write({.key = "ABC-5-8", .computer = "PC-SHAPE", .uuid = "{0009}", .mac = "00-00-00-00-00-09"});
  // The stale boundary: today is 2026-12-07, 30 days: 2026-11-07 is not stale yet.
  write({.key = "abc-05-0010", .date = "2026/11/07", .time = "00:00:00", .computer = "PC-30", .uuid = "{0010}",
         .mac = "00-00-00-00-00-10"});
  writeBytes("notes.csv", "memo\r\n");
  // Complete up to a last line cut off mid-write.
  writeBytes("abc-05-0011.csv", codePage.toAnsi(Lines({.key = "abc-05-0011", .computer = "PC-11", .uuid = "{0011}",
                                                        .mac = "00-00-00-00-00-11"}) + "abc-05-0011,Soft,Appl"));

  ImportRequest request;
  request.checks.staleDays = 30;
  RegisterList reg;
  for (const char* n : {"abc-05-0001", "abc-05-0002", "abc-05-0003", "abc-05-0004", "abc-05-0005", "abc-05-0006",
                        "abc-05-0007", "abc-05-0008", "abc-05-0010", "abc-05-0011", "abc-05-0099"}) {
    reg.rows.push_back({n, {}});
  }
  request.registerList = reg;
  import(request);

  // One finding per shared value, its numbers listed once and kept beside it.
  EXPECT_EQ(query("SELECT kind, number, file, detail FROM findings ORDER BY id"),
            "rejected||notes.csv|見出し行が記録ファイルのものではありません\n"
            "cut_short|abc-05-0002|abc-05-0002.csv|最後の記録: WMI/System/Model\n"
            "cut_short|abc-05-0011|abc-05-0011.csv|最後の行が途中で切れています\n"
            "name_mismatch|abc-05-0003|abc-05-0030.csv|ファイル名 abc-05-0030.csv / Key abc-05-0003\n"
            "bad_number|ABC-5-8|ABC-5-8.csv|管理番号 ABC-5-8\n"
            "no_software|abc-05-0004|abc-05-0004.csv|ソフトウェアの記録が0件\n"
            "same_uuid|||UUID {0005}: abc-05-0005 abc-05-0006\n"
            "same_mac|||MAC 00-00-00-00-00-05: abc-05-0005 abc-05-0006\n"
            "same_computer_name|||コンピュータ名 PC-TWICE: abc-05-0005 abc-05-0006\n"
            "two_pcs|abc-05-0007|abc-05-0007 (前回 2026-11-01 PC-FIRST).csv / abc-05-0007.csv|"
            "PC-FIRST (2026-11-01 09:05:07) / PC-SECOND (2026-12-01 09:05:07)\n"
            "stale|abc-05-0008|abc-05-0008.csv|収集日時 2026-01-01 09:05:07\n"
            "not_reported|abc-05-0099||台帳にあり、記録ファイルがない\n"
            "not_in_register|ABC-5-8|ABC-5-8.csv|記録ファイルがあり、台帳にない\n"
            "older_numbers|abc-05-0006|abc-05-0006.csv|UUID 0005: 古い管理番号 abc-05-0005（GLPIにはこの番号だけを送る）\n"
            "hardware_changed|abc-05-0007|abc-05-0007.csv|システムUUID {0071} → {0072}");
  EXPECT_EQ(query("SELECT f.kind, n.number, n.file FROM finding_numbers n JOIN findings f ON f.id = n.finding_id"
                  " WHERE f.kind = 'same_mac' ORDER BY n.number"),
            "same_mac|abc-05-0005|abc-05-0005.csv\nsame_mac|abc-05-0006|abc-05-0006.csv");
}

// The titles administrators read, as documented.
TEST_F(LedgerTest, EveryKindHasItsOwnTitle) {
  const char* titles[][3] = {
      {"bad_date", "収集日時が読めない", "Collection date unreadable"},
      {"bad_number", "管理番号の形式が正しくない", "Management number of the wrong shape"},
      {"catalogue_value", "カタログの読めない値", "Catalogue value unreadable"},
      {"cell_too_long", "ブックのセルに収まらない値", "Value longer than a workbook cell"},
      {"cut_short", "途中で切れた記録ファイル", "Record file cut short"},
      {"end_of_support", "サポート終了", "Past end of support"},
      {"forbidden_software", "禁止ソフトウェア", "Forbidden software"},
      {"future_date", "収集日時が取り込みより後", "Collection date after the import"},
      {"hardware_changed", "ハードウェアの変更", "Hardware changed"},
      {"licence_shortage", "ライセンス不足", "Fewer licences than installs"},
      {"name_mismatch", "ファイル名と管理番号が異なる", "File name differs from its Key"},
      {"no_computer_name", "コンピュータ名がない", "No computer name"},
      {"no_software", "ソフトウェアの記録がない", "No software record"},
      {"not_in_register", "台帳にない管理番号", "Reported, not in the register"},
      {"not_reported", "台帳にあるが未報告", "In the register, not reported"},
      {"older_numbers", "同じPCの古い管理番号", "Older numbers of this PC"},
      {"rejected", "取り込めなかったファイル", "File not imported"},
      {"required_missing", "必須ソフトウェアがない", "Required software missing"},
      {"same_computer_name", "同じコンピュータ名が複数の管理番号にある", "Same computer name under two numbers"},
      {"same_mac", "同じMACアドレスが複数の管理番号にある", "Same MAC address under two numbers"},
      {"same_uuid", "同じシステムUUIDが複数の管理番号にある", "Same system UUID under two numbers"},
      {"stale", "古い収集", "Stale collection"},
      {"two_pcs", "一つの管理番号を複数のPCが報告", "One number reported by two PCs"},
      {"win11_unsupported", "要件を満たさないWindows 11（更新の保証なし）", "Windows 11 below its requirements (updates not promised)"}};
  std::string expected;
  for (const auto& t : titles) expected += (expected.empty() ? "" : "\n") + std::string(t[0]) + "|" + t[1] + "|" + t[2];
  EXPECT_EQ(query("SELECT kind, title, title_en FROM finding_kinds ORDER BY kind"), expected);
  // With one finding of every kind, those that raise the exit status, as documented.
  db().exec("INSERT INTO findings(kind) SELECT kind FROM finding_kinds");
  EXPECT_EQ(KindsNeedingAttention(db()), (std::vector<std::string>{"rejected", "cut_short", "name_mismatch", "bad_number",
                                                                   "two_pcs", "bad_date", "future_date", "catalogue_value"}));
}

TEST_F(LedgerTest, FindingsDescribeTheDatabaseAfterEachImport) {
  write({.key = "abc-05-0001", .assetRecords = false});
  import();
  EXPECT_EQ(query("SELECT kind FROM findings"), "cut_short");
  // The complete file of the same PC, collected later, replaces the cut one.
  write({.key = "abc-05-0001", .date = "2026/12/02"}, "abc-05-0001 again.csv");
  const ImportResult again = import();
  EXPECT_EQ(again.newPcs, 0);
  EXPECT_EQ(again.updatedPcs, 1);
  EXPECT_EQ(query("SELECT COUNT(*) FROM findings"), "0");
}

}  // namespace
}  // namespace th::ledger::test

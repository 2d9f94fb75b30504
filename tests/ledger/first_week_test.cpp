// What administrators meet in their first week: placeholder identifiers,
// odd dates, files that go away, unreadable paths, odd registers.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <sstream>

#include "ledger/cli.h"
#include "ledger/exports/exports.h"
#include "ledger/records/input_files.h"
#include "ledger/records/register_file.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

TEST_F(LedgerTest, PlaceholderIdentifiersAreNoFindingButHideNoRealOne) {
  // Three PCs with VMware and VirtualBox host adapters and a board's placeholder UUID.
  for (const char* n : {"1", "2", "3"}) {
    write({.key = std::string("abc-05-000") + n, .computer = std::string("PC-") + n,
           .uuid = "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF", .mac = "00-50-56-C0-00-08"});
  }
  // Two more whose computer names were not read, with an adapter without a
  // MAC: no name or MAC shared.
  write({.key = "abc-05-0004", .computer = "", .uuid = "{03000200-0400-0500-0006-000700080009}",
         .mac = "0A-00-27-00-00-11", .records = {"LAN,Adapter2,MACアドレス,,"}});
  write({.key = "abc-05-0005", .computer = "", .uuid = "{5555}", .mac = "0a:00:27:00:00:11",
         .records = {"LAN,Adapter2,MACアドレス,,"}});
  // One number from two PCs that share the placeholder UUID: the names tell them apart.
  write({.key = "abc-05-0001", .date = "2026/11/01", .computer = "PC-OTHER",
         .uuid = "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF", .mac = "00-00-00-00-00-99"},
        "abc-05-0001 (前回).csv");
  import();
  EXPECT_EQ(query("SELECT kind, number FROM findings"),
            "two_pcs|abc-05-0001\nno_computer_name|abc-05-0004\nno_computer_name|abc-05-0005");
  EXPECT_EQ(query("SELECT mac_addresses FROM pc_summary WHERE number = 'abc-05-0004'"), "0A-00-27-00-00-11");
}

TEST_F(LedgerTest, TwoPcsComparesUuidsOnlyWhereBothHaveOne) {
  write({.key = "abc-05-0001", .date = "2026/11/01", .computer = "PC-A", .uuid = ""}, "abc-05-0001 old.csv");
  write({.key = "abc-05-0001", .computer = "PC-A"});  // same PC; the earlier lacked its UUID
  write({.key = "abc-05-0002", .date = "2026/11/01", .computer = "PC-B", .uuid = ""}, "abc-05-0002 old.csv");
  write({.key = "abc-05-0002", .computer = "PC-C", .uuid = "", .mac = "00-00-00-00-00-02"});
  write({.key = "abc-05-0003", .computer = "PC-D", .uuid = "", .mac = "00-00-00-00-00-03"});  // two without: no same_uuid
  write({.key = "abc-05-0004", .date = "2026/11/01", .computer = "pc-e", .uuid = "", .mac = "00-00-00-00-00-04"},
        "abc-05-0004 old.csv");
  write({.key = "abc-05-0004", .computer = "PC-E", .uuid = "", .mac = "00-00-00-00-00-04"});  // one name, case aside
  write({.key = "abc-05-0005", .date = "2026/11/01", .computer = "", .uuid = "", .mac = "00-00-00-00-00-05"},
        "abc-05-0005 old.csv");  // no name read: not compared
  write({.key = "abc-05-0005", .computer = "PC-F", .uuid = "", .mac = "00-00-00-00-00-05"});
  import();
  EXPECT_EQ(query("SELECT kind, number FROM findings"), "two_pcs|abc-05-0002");
}

TEST_F(LedgerTest, OddDatesNeverBecomeCurrentAndTiesGoByPath) {
  write({.key = "abc-05-0001", .date = "2026/12/01"});
  const std::pair<const char*, const char*> odd[] = {
      {"2026/1/5", "09:00:00"},    {"R8/12/07", "09:00:00"},   {"2026/13/45", "25:61:61"},
      {"9999/12/31", "09:00:00"},  {"2026/11/30", "24:00:00"}, {"26/12/07", "09:00:00"}};
  int i = 0;
  for (const auto& [date, time] : odd) {
    write({.key = "abc-05-0001", .date = date, .time = time}, "abc-05-0001 (" + std::to_string(++i) + ").csv");
  }
  // Two files of one PC with the same time: the path decides, not the order read.
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02"}, "b.csv");
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02",
         .software = {"Other,1,x"}}, "a.csv");
  // A day after the import exactly is not yet after it.
  write({.key = "abc-05-0003", .date = "2026/12/08", .time = "10:00:00", .computer = "PC-C", .uuid = "{3}",
         .mac = "00-00-00-00-00-03"});
  ImportRequest request;
  request.checks.staleDays = 30;
  import(request);
  EXPECT_EQ(query("SELECT number, collected_at, file_name FROM pc_summary ORDER BY number"),
            "abc-05-0001|2026-12-01 09:05:07|abc-05-0001.csv\nabc-05-0002|2026-12-01 09:05:07|b.csv\n"
            "abc-05-0003|2026-12-08 10:00:00|abc-05-0003.csv");
  EXPECT_EQ(query("SELECT kind, file, detail FROM findings WHERE kind LIKE '%date' OR kind = 'stale' ORDER BY id"),
            "bad_date|abc-05-0001 (2).csv|収集日時 R8/12/07 09:00:00\n"
            "bad_date|abc-05-0001 (3).csv|収集日時 2026/13/45 25:61:61\n"
            "bad_date|abc-05-0001 (5).csv|収集日時 2026/11/30 24:00:00\n"
            "bad_date|abc-05-0001 (6).csv|収集日時 26/12/07 09:00:00\n"
            "future_date|abc-05-0001 (4).csv|収集日時 9999-12-31 09:00:00");
  EXPECT_EQ(query("SELECT collected_at FROM collections c JOIN files f ON f.id = c.file_id"
                  " WHERE f.name = 'abc-05-0001 (1).csv'"),
            "2026-01-05 09:00:00");
}

TEST_F(LedgerTest, GoneFilesForgottenNumbersAndReplacedRejects) {
  const fs::path typo = write({.key = "abc-05-0099", .computer = "PC-A"}, "abc-05-0009.csv");  // a mistyped Key
  write({.key = "abc-05-0001"});
  const fs::path junk = writeBytes("abc-05-0002.csv", "half a file");
  import();
  ASSERT_EQ(query("SELECT number FROM pcs ORDER BY number"), "abc-05-0001\nabc-05-0099");
  fs::remove(typo);
  fs::create_directories(dir / "SAVE" / "sub");  // moved, not gone
  fs::rename(dir / "SAVE" / "abc-05-0001.csv", dir / "SAVE" / "sub" / "abc-05-0001.csv");
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02",
         .software = {"Ａｌｐｈａ,1,x"}});  // replaces the junk
  const ImportResult r = import();
  EXPECT_EQ(r.gone, 1);
  EXPECT_EQ(query("SELECT number FROM pcs ORDER BY number"), "abc-05-0001\nabc-05-0002");
  EXPECT_EQ(query("SELECT COUNT(*) FROM collections WHERE number = 'abc-05-0099'"), "1");  // history stays
  EXPECT_EQ(query("SELECT COUNT(*) FROM findings"), "0");
  fs::create_directories(dir / "SAVE" / "sub" / "copies");  // met after the file: it stays where it is
  fs::copy_file(dir / "SAVE" / "sub" / "abc-05-0001.csv", dir / "SAVE" / "sub" / "copies" / "copy.csv");
  ImportRequest forget;
  forget.forget = {"abc-05-0002"};
  import(forget);
  EXPECT_EQ(query("SELECT number, file_name FROM pc_summary"), "abc-05-0001|abc-05-0001.csv");
  EXPECT_EQ(query("SELECT COUNT(*) FROM collections WHERE number = 'abc-05-0002'"), "0");
  // The next collection inherits nothing of the forgotten one.
  write({.key = "abc-05-0003", .computer = "PC-C", .uuid = "{3}", .mac = "00-00-00-00-00-03", .software = {"Beta,1,x"}});
  write({.key = "abc-05-0099", .computer = "PC-A"}, "abc-05-0009.csv");  // the gone file back
  import();
  EXPECT_EQ(query("SELECT number, name FROM installs WHERE number = 'abc-05-0003'"), "abc-05-0003|Beta");
  EXPECT_EQ(query("SELECT number FROM pcs ORDER BY number"), "abc-05-0001\nabc-05-0003\nabc-05-0099");
}

TEST_F(LedgerTest, WhatCannotBeReadIsSaidAndCounted) {
  write({.key = "abc-05-0001"});
  std::ofstream(dir / "SAVE" / "huge.csv", std::ios::binary).seekp(static_cast<std::streamoff>(kMaxRecordFileBytes)) << 'x';
  std::ofstream(dir / "SAVE" / "limit.csv", std::ios::binary).close();  // exactly the cap: read, then refused as no record file
  fs::resize_file(dir / "SAVE" / "limit.csv", kMaxRecordFileBytes);
  writeBytes("bom.csv", "\xEF\xBB\xBFKey,Group,Item,SubItem,Contents,Unit,Renewalday\r\n");
  const fs::path pipe = dir / "pipe.csv";  // given by name, no file to read
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ImportRequest request;
  request.inputs = {(dir / "SAVE").string(), pipe.string()};
  const ImportResult r = import(request);
  EXPECT_EQ(r.rejected.size(), 4u);
  ImportRequest noFiles;  // a run on the database alone (an export) reads nothing: still said
  noFiles.startedAt = "2026-12-07 11:00:00";
  noFiles.checks.today = "2026-12-07";
  Import(db(), codePage, noFiles);
  EXPECT_EQ(query("SELECT kind, replace(file, '" + dir.string() + "/', ''), substr(detail, 1, 12) FROM findings ORDER BY id"),
            "rejected|SAVE/huge.csv|大きすぎるファイルです（\n"
            "rejected|pipe.csv|ファイルを読めません /\n"
            "rejected|bom.csv|UTF-8（BOM付き）\n"
            "rejected|limit.csv|見出し行がありません /");
  // Gone or no longer given: no longer a finding.
  fs::remove(dir / "SAVE" / "huge.csv");
  fs::remove(dir / "SAVE" / "bom.csv");
  fs::remove(dir / "SAVE" / "limit.csv");
  import();
  EXPECT_EQ(query("SELECT COUNT(*) FROM findings"), "0");
  EXPECT_EQ(query("SELECT COUNT(*) FROM imports"), "2");  // a file gone is a change of its own
}

// While it lives, this thread lacks the capabilities that let root read past
// file modes (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH), so modes hold for uid 0
// too; they come back after.
class ModesHoldForRoot {
 public:
  ModesHoldForRoot() {
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) lowered[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
    lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~ModesHoldForRoot() {
    if (lowered_) syscall(SYS_capset, &header_, saved_);
  }
  ModesHoldForRoot(const ModesHoldForRoot&) = delete;
  ModesHoldForRoot& operator=(const ModesHoldForRoot&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool lowered_ = false;
};

TEST_F(LedgerTest, AFolderOrFileWithoutAccessIsSaid) {
  write({.key = "abc-05-0001"});
  fs::create_directories(dir / "SAVE" / "locked");
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02"}, "locked/abc-05-0002.csv");
  const fs::path unreadable = write({.key = "abc-05-0003", .computer = "PC-C", .uuid = "{3}", .mac = "00-00-00-00-00-03"});
  import();  // known before they could no longer be read: not gone then
  fs::permissions(dir / "SAVE" / "locked", fs::perms::none);
  fs::permissions(unreadable, fs::perms::none);
  const auto readable = [&] {
    fs::permissions(dir / "SAVE" / "locked", fs::perms::owner_all);
    fs::permissions(unreadable, fs::perms::owner_all);
  };
  ImportResult r;
  {
    const ModesHoldForRoot modesHold;
    if (std::ifstream(unreadable).good()) {
      readable();
      GTEST_SKIP() << "file modes do not hold here: root whose overriding capabilities cannot be dropped,"
                      " or a file system without modes";
    }
    r = import();
  }
  readable();
  EXPECT_EQ(r.rejected.size(), 2u);
  EXPECT_EQ(query("SELECT COUNT(*) FROM pcs"), "3");
  EXPECT_EQ(query("SELECT replace(file, '" + (dir / "SAVE").string() + "/', ''), substr(detail, 1, 10) FROM findings"),
            "abc-05-0003.csv|ファイルを読めません\nlocked|フォルダーを読めませ");
  import();  // readable again: taken, and the findings go
  EXPECT_EQ(query("SELECT (SELECT COUNT(*) FROM pcs), (SELECT COUNT(*) FROM findings)"), "3|0");
}

TEST_F(LedgerTest, ExportAloneKeepsStaleAndSkipsItsOwnFolder) {
  write({.key = "abc-05-0001", .date = "2026/01/01"});
  Options o;
  o.paths = {(dir / "SAVE").string()};
  o.db = (dir / "run.sqlite").string();
  o.staleDays = 30;
  o.exportDir = (dir / "SAVE" / "out").string();
  std::ostringstream out, err;
  ASSERT_EQ(RunLedger(o, codePage, out, err, false), kAllTaken);
  ASSERT_EQ(RunLedger(o, codePage, out, err, false), kAllTaken);  // its exports are not read back
  Options exportOnly;
  exportOnly.db = o.db;
  exportOnly.exportDir = o.exportDir;
  const auto kinds = [&] {
    Database run(o.db);
    Statement s = run.prepare("SELECT COALESCE(group_concat(kind), '') FROM findings");
    return s.step() ? s.text(0) : "?";
  };
  EXPECT_EQ(RunLedger(exportOnly, codePage, out, err, false), kAllTaken);
  EXPECT_EQ(kinds(), "stale");
  exportOnly.staleDays = -1;  // "off": forgotten, and the finding goes
  EXPECT_EQ(RunLedger(exportOnly, codePage, out, err, false), kAllTaken);
  {
    Database run(o.db);
    Statement s = run.prepare("SELECT (SELECT COUNT(*) FROM findings), (SELECT COUNT(*) FROM meta WHERE key = 'stale_days')");
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.integer(0) * 10 + s.integer(1), 0);
  }
  exportOnly.staleDays = 0;  // not "off": every collection before today
  EXPECT_EQ(RunLedger(exportOnly, codePage, out, err, false), kAllTaken);
  EXPECT_EQ(kinds(), "stale");
  exportOnly.staleDays.reset();
  // An export that cannot be written: the import is kept, the status says so.
  exportOnly.exportDir = (dir / "SAVE" / "abc-05-0001.csv").string();
  EXPECT_EQ(RunLedger(exportOnly, codePage, out, err, false), kOutputFailed);
}

TEST_F(LedgerTest, TheRegisterKnowsANumberWrittenInUpperCase) {
  write({.key = "ABC-05-0001"});
  ImportRequest request;
  request.registerList = RegisterList{{}, {{"abc-05-0001", {}}}};
  import(request);
  EXPECT_EQ(query("SELECT kind, number FROM findings"), "bad_number|ABC-05-0001");
}

TEST(RegisterParsing, HeaderSeparatorAndNumberCase) {
  platform::IconvCodePage cp;
  const RegisterList cp932 = ParseRegister(cp.toAnsi("管理番号,部署\r\nABC-01-0001,総務部\r\n"), cp);
  EXPECT_EQ(cp932.columns, (std::vector<std::string>{"部署"}));
  ASSERT_EQ(cp932.rows.size(), 1u);
  EXPECT_EQ(cp932.rows[0].number, "abc-01-0001");
  EXPECT_EQ(cp932.rows[0].extra, (std::vector<std::string>{"総務部"}));
  const RegisterList tabs = ParseRegister("番号\t部署\t場所\nabc-01-0002\t経理\t\"本社 \"\"A\"\"\"\n", cp);
  EXPECT_EQ(tabs.columns, (std::vector<std::string>{"部署", "場所"}));
  ASSERT_EQ(tabs.rows.size(), 1u);
  EXPECT_EQ(tabs.rows[0].extra, (std::vector<std::string>{"経理", "本社 \"A\""}));
  EXPECT_EQ(ParseRegister("番号\nPC1\nPC2\n", cp).rows.size(), 0u);
  EXPECT_EQ(ParseRegister("abc-01-0001\n　\nabc-01-0002\n", cp).rows.size(), 2u);  // a line of blanks is no number
  // A first line with a comma too: commas separate, a TAB stays in its field.
  EXPECT_EQ(ParseRegister("番号,部署\tメモ\nabc-01-0003,総務\n", cp).columns, std::vector<std::string>{"部署\tメモ"});
}

TEST(CsvFieldFullWidth, FormulasBehindBlanksAndFullWidthSigns) {
  for (const char* formula : {"＝1+1", "＋1", "－1", "＠1", " =1", "　=1", "\t1", "\r1"}) {
    EXPECT_EQ(CsvField(formula).substr(0, 1) == "\"" ? CsvField(formula).substr(1, 1) : CsvField(formula).substr(0, 1),
              "'")
        << formula;
  }
  EXPECT_EQ(CsvField("１＝1"), "１＝1");
}

}  // namespace
}  // namespace th::ledger::test

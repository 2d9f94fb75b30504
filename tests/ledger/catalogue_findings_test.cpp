// The catalogue in the database: its findings, licences.csv and changes.csv.
#include <gtest/gtest.h>

#include <sstream>

#include "ledger/cli.h"
#include "ledger/exports/exports.h"
#include "ledger/records/register_file.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class CatalogueTest : public LedgerTest {
 protected:
  // An export read back: its header and rows, every field as text.
  Rows exported(const std::string& name) {
    WriteExports(db(), dir / "out", ExportEncoding::Utf8Bom, codePage);
    std::ifstream in(dir / "out" / name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    Rows rows;
    std::size_t at = 3;
    while (at < text.size()) {
      const std::size_t end = text.find("\r\n", at);
      rows.push_back(SplitCsvLine(std::string_view(text).substr(at, end - at)));
      at = end + 2;
    }
    return rows;
  }
  ImportResult importWithCatalogue(const std::string& text) {
    ImportRequest request;
    request.catalogue = ParseCatalogue(text, codePage);
    return import(request);
  }
};

constexpr const char* kCatalogue =
    "pattern,product,publisher,kind,licences,end_of_support\n"
    "Office Pro*,Office,Micro Works,paid,1,\n"
    "Viewer,Viewer,,free,,2026-12-07\n"  // today: not past yet
    "Game*,Game,,forbidden,,\n"
    "Toolbar*,Toolbar,,forbidden,,\n"
    "AntiVirus*,AntiVirus,,required,,\n"
    "Old Editor,Old Editor,,free,,2026-12-06\n"
    "Office Pro 2021,Office 2021,,paid,,\n"  // below Office Pro*: never wins
    "OS:*Windows 7*,Windows 7,,paid,1,2030-01-01\n"  // exactly enough
    "Unused*,Unused,,paid,3,\n";

std::string Os(const char* caption) { return std::string("Soft,OS,Version,") + caption + ","; }

// Today is 2026-12-07 in the fixture.
TEST_F(CatalogueTest, FindingsAndLicencesFollowTheCatalogue) {
  write({.key = "abc-05-0001", .uuid = "{1}", .mac = "00-00-00-00-00-01",
         .software = {"Office Pro 2019,16.0,", "Game One,1,", "Game Two,1,", "Toolbar X,1,", "AntiVirus X,5,", "Old Editor,1,"},
         .records = {Os("Microsoft Windows 10 Pro 64 ビット")}});
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02",
         .software = {"Office Pro 2021,16.0,", "Office Pro 2021,16.0,", "Office Pro 2016,16.0,", "Viewer,2,"},
         .records = {Os("Windows 7 Professional 32 ビット (Service Pack 1)")}});
  write({.key = "abc-05-0003", .computer = "PC-C", .uuid = "{3}", .mac = "00-00-00-00-00-03",
         .software = {"antivirus y,5,", " OLD EDITOR ,2,"}, .records = {Os("Microsoft Windows 11 Pro")}});
  // The first PC under a mistyped number a month before: counted, checked and listed once.
  write({.key = "abc-05-0005", .date = "2026/11/01", .computer = "PC-A-OLD", .uuid = "{1}", .mac = "00-00-00-00-00-05",
         .software = {"Office Pro 2019,16.0,", "Game One,1,", "Old Editor,1,"},
         .records = {Os("Microsoft Windows 10 Pro 64 ビット")}});
  // A PC whose registry scan failed: its software unknown, not missing.
  write({.key = "abc-05-0006", .computer = "PC-D", .uuid = "{6}", .mac = "00-00-00-00-00-06", .software = {}});
  importWithCatalogue(kCatalogue);

  EXPECT_EQ(query("SELECT kind, COALESCE(number, '-'), detail FROM findings ORDER BY id"),
            "no_software|abc-05-0006|ソフトウェアの記録が0件（必須ソフトウェアの有無は確かめない）\n"
            "same_uuid|-|UUID {1}: abc-05-0001 abc-05-0005\n"
            "older_numbers|abc-05-0001|UUID 1: 別の管理番号 abc-05-0005（GLPIにはこの番号だけを送る）\n"
            "licence_shortage|-|Office: 保有 1、導入 2\n"
            "forbidden_software|abc-05-0001|Game One / Game Two\n"
            "forbidden_software|abc-05-0001|Toolbar X\n"
            "required_missing|abc-05-0002|AntiVirus\n"
            "end_of_support|abc-05-0001|Microsoft Windows 10 Pro 64 ビット: サポート終了 2025-10-14\n"
            "end_of_support|abc-05-0001|Old Editor: サポート終了 2026-12-06\n"
            "end_of_support|abc-05-0003|Old Editor: サポート終了 2026-12-06");
  EXPECT_EQ(exported("licences.csv"),
            (Rows{{"製品名", "発行元", "種別", "保有ライセンス数", "導入台数", "過不足", "サポート終了日"},
                  {"Office", "Micro Works", "有償", "1", "2", "-1", ""},
                  {"Viewer", "", "無償", "", "1", "", "2026-12-07"},
                  {"Game", "", "禁止", "", "1", "", ""},
                  {"Toolbar", "", "禁止", "", "1", "", ""},
                  {"AntiVirus", "", "必須", "", "2", "", ""},
                  {"Old Editor", "", "無償", "", "2", "", "2026-12-06"},
                  {"Office 2021", "", "有償", "", "0", "", ""},
                  {"Windows 7", "", "有償", "1", "1", "0", "2030-01-01"},
                  {"Unused", "", "有償", "3", "0", "3", ""}}));
  Rows office;  // the PCs that hold a paid product, each once
  for (const auto& row : exported("licence_installs.csv")) {
    if (row[0] == "Office") office.push_back(row);
  }
  EXPECT_EQ(office, (Rows{{"Office", "abc-05-0001", "PC-ALPHA", "山田 太郎", "Office Pro 2019", "16.0"},
                          {"Office", "abc-05-0002", "PC-B", "山田 太郎", "Office Pro 2016", "16.0"},
                          {"Office", "abc-05-0002", "PC-B", "山田 太郎", "Office Pro 2021", "16.0"}}));

  // A later catalogue replaces the first: Game is free now, Windows 7 left
  // to the built-in date, and so is Windows 10, named without a date.
  importWithCatalogue("パターン\t製品名\t種別\nGame*\tGame\t無償\nOS:*Windows 10*\tWindows 10\t有償\n");
  EXPECT_EQ(query("SELECT number, detail FROM findings WHERE kind = 'end_of_support' ORDER BY id"),
            "abc-05-0001|Microsoft Windows 10 Pro 64 ビット: サポート終了 2025-10-14\n"
            "abc-05-0002|Windows 7 Professional 32 ビット: サポート終了 2020-01-14");
  EXPECT_EQ(exported("licences.csv"), (Rows{{"製品名", "発行元", "種別", "保有ライセンス数", "導入台数", "過不足", "サポート終了日"},
                                            {"Game", "", "無償", "", "1", "", ""},
                                            {"Windows 10", "", "有償", "", "1", "", ""}}));
}

TEST_F(CatalogueTest, NamesComingLaterAreMatchedOnceWithTheCatalogueKept) {
  write({.key = "abc-05-0001", .software = {"Game One,1,"}});
  importWithCatalogue(kCatalogue);
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02",
         .software = {"Game One,1,", "Game Three,1,", "Other,1,"}});
  import();
  EXPECT_EQ(query("SELECT os, name, COALESCE(product, '-') FROM catalogue_matches ORDER BY os, name"),
            "0|Game One|Game\n0|Game Three|Game\n0|Other|-");
  EXPECT_EQ(query("SELECT number, detail FROM findings WHERE kind = 'forbidden_software' ORDER BY id"),
            "abc-05-0001|Game One\nabc-05-0002|Game One / Game Three");

  // A catalogue given again with a new file: the stored names and the new ones.
  write({.key = "abc-05-0003", .computer = "PC-C", .uuid = "{3}", .mac = "00-00-00-00-00-03",
         .software = {"Ｇａｍｅ Four,1,"}});
  importWithCatalogue(kCatalogue);
  EXPECT_EQ(query("SELECT os, name, COALESCE(product, '-') FROM catalogue_matches ORDER BY os, name"),
            "0|Game Four|Game\n0|Game One|Game\n0|Game Three|Game\n0|Other|-");
}

TEST_F(CatalogueTest, ChangesSinceThePreviousCollectionOfTheLastImport) {
  const std::vector<std::string> before = {"Hard,CPU,NameString,Core i5,", "Hard,メモリ,全容量,8388608,KB",
                                           "Hard,SystemHDD,全容量,500000,MB", "WMI,MotherBoard,SerialNo,S1,",
                                           Os("Windows 10 Pro")};
  // Windows' facts from a client that writes them: a firmware TPM switched
  // on and an update change no hardware.
  const std::vector<std::string> platformBefore = {"Platform,Section,Version,1,", "Platform,TPM,Version,none,",
                                                   "Platform,Firmware,SecureBootCA2023,,denied",
                                                   "Platform,OS,CurrentBuild,19045,", "Platform,Appraiser,GE24H2,Red,Tpm"};
  std::vector<std::string> withPlatform = before;
  withPlatform.insert(withPlatform.end(), platformBefore.begin(), platformBefore.end());
  write({.key = "abc-05-0001", .date = "2026/11/01", .software = {"Alpha,1.0,", "Beta,2.0,"}, .records = withPlatform},
        "abc-05-0001 old.csv");
  write({.key = "abc-05-0002", .date = "2026/11/01", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02"},
        "abc-05-0002 old.csv");
  import();
  write({.key = "abc-05-0001",
         .software = {"Alpha,1.1,", "Gamma,1.0,"},
         .records = {"Hard,CPU,NameString,Core i7,", "Hard,メモリ,全容量,4194304,KB", "Hard,SystemHDD,全容量,500000,MB",
                     "WMI,MotherBoard,SerialNo,S2,", Os("Windows 11 Pro"), "Platform,Section,Version,1,",
                     "Platform,TPM,Version,2.0,", "Platform,Firmware,SecureBootCA2023,Updated,",
                     "Platform,OS,CurrentBuild,26100,", "Platform,Appraiser,GE24H2,Green,"}});
  // Collected before by an older client: its facts are new, not changed.
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02", .records = platformBefore});
  write({.key = "abc-05-0003", .computer = "PC-C", .uuid = "{3}", .mac = "00-00-00-00-00-03"});
  import();
  writeBytes("junk.csv", "memo\r\n");
  import();  // takes no file: the changes stay those of the import before

  EXPECT_EQ(exported("changes.csv"), (Rows{{"管理番号", "区分", "項目", "前回", "今回"},
                                           {"abc-05-0001", "ハードウェア", "Hard/CPU/NameString", "Core i5", "Core i7"},
                                           {"abc-05-0001", "ハードウェア", "Hard/メモリ/全容量", "8388608 KB", "4194304 KB"},
                                           {"abc-05-0001", "ハードウェア", "WMI/MotherBoard/SerialNo", "S1", "S2"},
                                           {"abc-05-0001", "OS", "Soft/OS/Version", "Windows 10 Pro", "Windows 11 Pro"},
                                           {"abc-05-0001", "ハードウェア", "Platform/TPM/Version", "none", "2.0"},
                                           {"abc-05-0001", "ハードウェア", "Platform/Firmware/SecureBootCA2023", "(denied)", "Updated"},
                                           {"abc-05-0001", "OS", "Platform/OS/CurrentBuild", "19045", "26100"},
                                           {"abc-05-0001", "OS", "Platform/Appraiser/GE24H2", "Red Tpm", "Green"},
                                           {"abc-05-0001", "ソフトウェア追加", "Alpha", "", "1.1"},
                                           {"abc-05-0001", "ソフトウェア追加", "Gamma", "", "1.0"},
                                           {"abc-05-0001", "ソフトウェア削除", "Alpha", "1.0", ""},
                                           {"abc-05-0001", "ソフトウェア削除", "Beta", "2.0", ""}}));
  EXPECT_EQ(query("SELECT number, detail FROM findings WHERE kind = 'hardware_changed'"),
            "abc-05-0001|メモリ 8388608 → 4194304 / CPU Core i5 → Core i7 / ボードシリアル S1 → S2");
}

TEST_F(CatalogueTest, TheLastDayOfSupportIsNotPastYet) {
  write({.key = "abc-05-0001", .records = {Os("Microsoft Windows 10 Pro")}});
  ImportRequest onTheDay;
  onTheDay.checks.today = "2025-10-14";
  import(onTheDay);
  EXPECT_EQ(query("SELECT COUNT(*) FROM findings WHERE kind = 'end_of_support'"), "0");
}

// Nor are placeholders where the board's serial or UUID belongs.
TEST_F(CatalogueTest, HardwareReadingsMissingGrowingOrPlaceholdersAreNoChange) {
  write({.key = "abc-05-0001", .date = "2026/11/01", .uuid = "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}",
         .records = {"Hard,メモリ,全容量,4194304,KB", "Hard,CPU,NameString,A,", "Hard,SystemHDD,全容量,500000,MB",
                     "WMI,MotherBoard,SerialNo,To Be Filled By O.E.M.,"}},
        "old.csv");
  write({.key = "abc-05-0001", .records = {"Hard,メモリ,全容量,8388608,KB", "Hard,CPU,NameString,,", "Hard,SystemHDD,全容量,,MB",
                                           "WMI,MotherBoard,SerialNo,L1HF91,"}});
  write({.key = "abc-05-0002", .date = "2026/11/01", .computer = "PC-B", .uuid = "{2}", .mac = "00-00-00-00-00-02",
         .records = {"WMI,MotherBoard,SerialNo,S2,"}},
        "old 2.csv");
  write({.key = "abc-05-0002", .computer = "PC-B", .uuid = "{00000000-0000-0000-0000-000000000000}",
         .mac = "00-00-00-00-00-02", .records = {"WMI,MotherBoard,SerialNo,Default string,"}});
  import();
  EXPECT_EQ(query("SELECT COUNT(*) FROM findings WHERE kind = 'hardware_changed'"), "0");
}

// A value the catalogue cannot read is a finding, kept with the catalogue,
// that raises the exit status; the line keeps its other values.
TEST_F(CatalogueTest, TheCommandLineKeepsTheCatalogueWithItsBadValuesAndRefusesOneWithoutItsColumns) {
  write({.key = "abc-05-0001", .software = {"Game One,1,"}});
  writeBytes("../good.csv", "pattern,product,kind,Licences\nGame*,Game,forbidden,\"1,000\"\nX,X,shareware,1.O\n");
  writeBytes("../bad.csv", "pattern,product\nGame*,Game\n");
  Options o;
  o.paths = {(dir / "SAVE").string()};
  o.db = (dir / "ledger.sqlite").string();
  o.noReport = true;
  o.catalogueFile = (dir / "good.csv").string();
  std::ostringstream out, err;
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kNeedsAttention);
  EXPECT_NE(err.str().find("3行目 / line 3: 種別が不明です / unknown kind: shareware"), std::string::npos);
  EXPECT_NE(out.str().find("カタログの読めない値 / Catalogue value unreadable: 2（要対応 / needs attention）\n"
                           "  禁止ソフトウェア / Forbidden software: 1\n"),
            std::string::npos);
  o.catalogueFile = (dir / "bad.csv").string();
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kUsageError);
  o.catalogueFile.reset();  // a later run without one keeps the last good one
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kNeedsAttention);
  // 要対応 marks what set the exit status, not the state of a PC.
  EXPECT_EQ(exported("findings.csv"), (Rows{{"検出事項", "管理番号", "ファイル", "詳細", "要対応"},
                                            {"カタログの読めない値", "", "good.csv", "3行目 kind: shareware", "要対応"},
                                            {"カタログの読めない値", "", "good.csv", "3行目 Licences: 1.O", "要対応"},
                                            {"禁止ソフトウェア", "abc-05-0001", "abc-05-0001.csv", "Game One", ""}}));
  EXPECT_EQ(exported("licences.csv"), (Rows{{"製品名", "発行元", "種別", "保有ライセンス数", "導入台数", "過不足", "サポート終了日"},
                                            {"Game", "", "禁止", "1000", "1", "999", ""},
                                            {"X", "", "不明", "", "0", "", ""}}));
}

}  // namespace
}  // namespace th::ledger::test

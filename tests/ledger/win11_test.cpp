// The Windows 11 plan: the processor rule, the names, whole PCs to verdicts
// and costs, the price list, the end-of-support dates.
#include <gtest/gtest.h>

#include <ctime>
#include <sstream>

#include "ledger/checks/end_of_support.h"
#include "ledger/cli.h"
#include "ledger/exports/exports.h"
#include "ledger/store/win11_plan.h"
#include "ledger/win11/price_list.h"
#include "ledger/win11/processor.h"
#include "ledger_fixture.h"

namespace th::ledger::test {
namespace {

char Letter(Support s) { return s == Support::Supported ? 'S' : s == Support::Unsupported ? 'U' : '?'; }

TEST(Win11ProcessorTest, CpuidRule) {
  struct Row {
    const char* vendor;
    const char* identifier;
    std::optional<long long> platformId;
    std::optional<bool> atomics;
    const char* expected;  // S, U or ?, then R when marked for review
  };
  const Row rows[] = {
      {"GenuineIntel", "Intel64 Family 6 Model 85 Stepping 4", {}, {}, "S"},    // Skylake-SP/X
      {"GenuineIntel", "Intel64 Family 6 Model 94 Stepping 3", {}, {}, "U"},
      {"GenuineIntel", "Intel64 Family 6 Model 95 Stepping 1", {}, {}, "U"},
      {"GenuineIntel", "Intel64 Family 6 Model 96 Stepping 1", {}, {}, "S"},
      {"GenuineIntel", "Intel64 Family 6 Model 142 Stepping 9", 16, {}, "S"},
      {"GenuineIntel", "Intel64 Family 6 Model 142 Stepping 9", 128, {}, "U"},
      {"GenuineIntel", "Intel64 Family 6 Model 142 Stepping 9", {}, {}, "?"},
      {"GenuineIntel", "Intel64 Family 6 Model 142 Stepping 10", {}, {}, "S"},
      {"GenuineIntel", "Intel64 Family 6 Model 158 Stepping 9", 8, {}, "S"},
      {"GenuineIntel", "Intel64 Family 6 Model 158 Stepping 9", 2, {}, "U"},
      {"GenuineIntel", "Intel64 Family 6 Model 158 Stepping 9", {}, {}, "?"},
      {"GenuineIntel", "x86 Family 6 Model 158 Stepping 10", {}, {}, "S"},       // 32-bit Windows
      {"GenuineIntel", "Intel64 Family 15 Model 6 Stepping 5", {}, {}, "U"},
      {"GenuineIntel", "x86 Family 5 Model 2 Stepping 12", {}, {}, "U"},
      {"GenuineIntel", "Intel64 Family 18 Model 1 Stepping 0", {}, {}, "SR"},   // a next generation
      {"GenuineIntel", "Intel64 Family 6 Model", {}, {}, "?"},
      {"AuthenticAMD", "AMD64 Family 23 Model 1 Stepping 1", {}, {}, "U"},      // Zen: 1600 "AE"
      {"AuthenticAMD", "AMD64 Family 23 Model 17 Stepping 0", {}, {}, "U"},     // Raven Ridge: 2700U
      {"AuthenticAMD", "AMD64 Family 23 Model 8 Stepping 2", {}, {}, "S"},      // Zen+: 1600 "AF"
      {"AuthenticAMD", "AMD64 Family 22 Model 48 Stepping 1", {}, {}, "U"},
      {"AuthenticAMD", "AMD64 Family 25 Model 33 Stepping 0", {}, {}, "S"},
      {"Qualcomm Technologies Inc", "ARMv8 (64-bit) Family 8 Model D4B Revision 0", {}, true, "S"},
      {"Qualcomm Technologies Inc", "ARMv8 (64-bit) Family 8 Model 803 Revision D", {}, false, "U"},
      {"Qualcomm Technologies Inc", "ARMv8 (64-bit) Family 8 Model 803 Revision D", {}, {}, "?"},
      {"CentaurHauls", "x86 Family 6 Model 15 Stepping 13", {}, {}, "U"},
      {"", "Intel64 Family 6 Model 158 Stepping 10", {}, {}, "?"},
  };
  for (const Row& r : rows) {
    const CpuDecision d = CpuByIdentity({r.vendor, r.identifier, r.platformId, r.atomics});
    EXPECT_EQ(std::string(1, Letter(d.support)) + (d.review ? "R" : ""), r.expected)
        << r.vendor << " " << r.identifier << " " << r.platformId.value_or(-1);
  }
}

// A record with only the name: the dated list's exact model token with its
// brand, Core i3/i5/i7 of the 2nd to 7th generations estimated, the rest unknown.
TEST(Win11ProcessorTest, GoldenNames) {
  struct Row {
    const char* name;
    const char* pcModel;
    const char* key;
    char support;
  };
  const Row rows[] = {
      {"Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz", "", "core i78700k", 'S'},
      {"11th Gen Intel(R) Core(TM) i5-1135G7 @ 2.40GHz", "", "core i51135g7", 'S'},
      {"Intel(R) Core(TM) i3-10100 CPU @ 3.60GHz", "", "core i310100", 'S'},
      {"Intel(R) Core(TM) Ultra 7 155H", "", "core 155h", 'S'},
      {"Intel(R) Xeon(R) W-2123 CPU @ 3.60GHz", "", "xeon w2123", 'S'},
      {"Intel(R) N100", "", "intel n100", 'S'},
      {"AMD Ryzen 7 5800X 8-Core Processor", "", "ryzen 5800x", 'S'},
      {"AMD Ryzen 5 2600 Six-Core Processor", "", "ryzen 2600", 'S'},
      {"AMD Athlon Gold 3150U with Radeon Graphics", "", "athlon 3150u", 'S'},
      {"AMD 3015e with Radeon Graphics", "", "amd 3015e", 'S'},
      {"Snapdragon(R) X Elite - X1E78100 - Qualcomm(R) Oryon(TM) CPU", "", "snapdragon x1e78100", 'S'},
      {"Snapdragon (TM) 8cx Gen 3 @ 3.0 GHz", "", "snapdragon 8cxgen3", 'S'},
      {"Intel(R) Core(TM) i7-7820HQ CPU @ 2.90GHz", "Precision 5520", "core i77820hq", 'S'},
      {"Intel(R) Core(TM) i7-7820HQ CPU @ 2.90GHz", "Latitude 5580", "core i77820hq", 'U'},
      // Never a substring: Ryzen's "2600" is listed, Core i7-2600 is not.
      {"Intel(R) Core(TM) i7-2600 CPU @ 3.40GHz", "", "core i72600", 'U'},
      {"Intel(R) Core(TM) i5-7200U CPU @ 2.50GHz", "", "core i57200u", 'U'},
      {"Intel(R) Core(TM) i5-3470 CPU @ 3.20GHz", "", "core i53470", 'U'},
      {"AMD Ryzen 5 1600 Six-Core Processor", "", "ryzen 1600", '?'},  // "AE" and "AF" alike
      {"AMD Ryzen 7 2700U with Radeon Vega Mobile Gfx", "", "ryzen 2700u", '?'},
      {"Intel(R) Celeron(R) N5095 @ 2.00GHz", "", "celeron n5095", '?'},  // missing from the list
      {"Intel(R) Core(TM)2 Duo CPU E8400 @ 3.00GHz", "", "core e8400", '?'},
      {"Intel(R) Xeon(R) CPU E3-1505M v6 @ 3.00GHz", "", "xeon e31505mv6", '?'},
      {"Intel(R) Core(TM) i7-1065G7 CPU @ 1.30GHz", "", "core i71065g7", 'S'},
      {"", "", "", '?'},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(CpuNameKey(r.name), r.key) << r.name;
    EXPECT_EQ(Letter(CpuByName(r.name, r.pcModel).support), r.support) << r.name << " " << r.pcModel;
  }
  EXPECT_EQ(CpuListDate(), "2025-10-06");
}

// Windows' end-of-support dates: by feature version and edition for
// Windows 11, and every one a Tuesday (a date converted through UTC is not).
TEST(Win11EndOfSupportTest, FeatureVersionsAndTuesdays) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"Microsoft Windows 11 Pro", "23H2", "2025-11-11"},
      {"Microsoft Windows 11 Enterprise", "23H2", "2026-11-10"},
      {"Microsoft Windows 11 Home", "24H2", "2026-10-13"},
      {"Microsoft Windows 11 Education", "24H2", "2027-10-12"},
      {"Microsoft Windows 11 Pro Education", "24H2", "2026-10-13"},
      {"Microsoft Windows 11 Pro", "25H2", "2027-10-12"},
      {"Microsoft Windows 11 Enterprise", "25H2", "2028-10-10"},
      {"Microsoft Windows 11 Pro", "22H2", "2024-10-08"},
      {"Microsoft Windows 11 Pro", "", ""},
      {"Microsoft Windows 11 Pro", "26H1", ""},
      {"Microsoft Windows 11 Enterprise LTSC 2024", "24H2", "2029-10-09"},
      {"Microsoft Windows 10 Pro", "22H2", "2025-10-14"},
  };
  for (const auto& [caption, version, expected] : cases) {
    EXPECT_EQ(WindowsEndOfSupport(caption, version).value_or(""), expected) << caption << " " << version;
  }
  for (const std::string& date : WindowsEndOfSupportDates()) {
    std::tm t{};
    t.tm_year = std::stoi(date.substr(0, 4)) - 1900;
    t.tm_mon = std::stoi(date.substr(5, 2)) - 1;
    t.tm_mday = std::stoi(date.substr(8, 2));
    t.tm_hour = 12;
    std::mktime(&t);
    EXPECT_EQ(t.tm_wday, 2) << date;
  }
}

TEST(Win11PricesTest, ReadAsTheCatalogueIs) {
  platform::IconvCodePage codePage;
  const std::string text =
      "区分,単価\r\nデスクトップ買い替え,\"150,000\"\r\nノート買い替え,１８０，０００円\r\n,\r\nメモリ増設,¥8000\r\n"
      "ＥＳＵ,9500\r\nSSD交換,未定\r\n謎の作業,1\r\nメモリ増設,9000\r\n";
  const auto read = [](const PriceList& list) {
    std::string out;
    for (const Win11Price& p : list.prices) out += p.category + "=" + std::to_string(p.yen) + " ";
    for (const PriceProblem& p : list.problems) out += "[" + PriceProblemText(p) + "]";
    return out;
  };
  const std::string expected =
      "デスクトップ買い替え=150000 ノート買い替え=180000 メモリ増設=8000 ESU=9500 "
      "[7行目 / line 7: 単価が金額ではありません / price not an amount: 未定]"
      "[8行目 / line 8: 区分が不明です / unknown category: 謎の作業]"
      "[9行目 / line 9: 区分が重複しています（最初の行を使います） / category repeated (the first line counts): メモリ増設]";
  EXPECT_EQ(read(ParsePriceList(codePage.toAnsi(text), codePage)), expected);
  // UTF-8 with its BOM, TAB-separated (the encodings themselves are the
  // catalogue's reading, tested there).
  std::string tabbed = "\xEF\xBB\xBF" + text;
  tabbed.replace(tabbed.find("\"150,000\""), 9, "150000");
  tabbed.replace(tabbed.find("１８０，０００"), std::string("１８０，０００").size(), "１８００００");
  for (char& c : tabbed) c = c == ',' ? '\t' : c;
  EXPECT_EQ(read(ParsePriceList(tabbed, codePage)), expected);
  EXPECT_THROW(ParsePriceList(codePage.toAnsi("品目,金額\r\nESU,1\r\n"), codePage), std::runtime_error);
}

// A PC as the plan reads it: the record's summary lines and, unless `older`,
// its Platform lines. The defaults make a PC ready for Windows 11.
struct PlanPc {
  std::string key;
  bool older = false;
  std::string os = "Microsoft Windows 10 Pro", cpu = "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz";
  std::string visibleKb = "16609312", diskMb = "243000", chassis = "Desktop", maker = "Maker X", model = "Model Y";
  std::string vendor = "GenuineIntel", identifier = "Intel64 Family 6 Model 158 Stepping 10", platformId = "";
  std::string architecture = "x64", installedKb = "16777216", firmware = "UEFI", secureBootCapable = "1";
  std::string tpm = "2.0", build = "19045", appraiser = "Targets,,none", bypass = "";

  Pc records() const {
    Pc pc{key};
    pc.uuid = "{" + key + "}", pc.computer = "PC-" + key, pc.mac = "00-1A-2B-3C-4D-" + key.substr(1);
    pc.maker = maker;
    pc.model = model;
    pc.records = {"Soft,OS,Version," + os + ",", "Hard,CPU,NameString," + cpu + ",", "Hard,メモリ,全容量," + visibleKb + ",KB",
                  "Hard,SystemHDD,全容量," + diskMb + ",MB", "WMI,System,PC_Type," + chassis + ","};
    if (older) return pc;
    const auto unit = [](const std::string& v) { return v.empty() ? std::string(",unsupported") : std::string(","); };
    for (const std::string& line : std::vector<std::string>{
             "Section,Version,1,", "CPU,Vendor," + vendor + ",", "CPU,Identifier," + identifier + ",",
             "CPU,PlatformId," + platformId + unit(platformId), "CPU,Arm81Atomics,0,", "CPU,LogicalProcessors,8,",
             "CPU,Architecture," + architecture + ",", "Memory,Installed," + installedKb + ",KB",
             "Firmware,Type," + firmware + ",", "Firmware,SecureBootCapable," + secureBootCapable + ",",
             "Firmware,SecureBootEnabled,0,", "TPM,Version," + tpm + ",", "OS,CurrentBuild," + build + ",",
             "OS,DisplayVersion,22H2,", "Appraiser," + appraiser, "Appraiser,Bypass," + bypass + ","}) {
      pc.records.push_back("Platform," + line);
    }
    return pc;
  }
};

class Win11PlanTest : public LedgerTest {};

TEST_F(Win11PlanTest, WholePcsToVerdictsAndCosts) {
  std::vector<PlanPc> pcs(16);
  for (std::size_t i = 0; i < pcs.size(); ++i) pcs[i].key = (i < 9 ? "w0" : "w") + std::to_string(i + 1);
  // w01 meets every requirement; Secure Boot capable but off passes.
  pcs[1].tpm = "none", pcs[1].firmware = "BIOS", pcs[1].secureBootCapable = "0";
  pcs[2].installedKb = "2097152", pcs[2].diskMb = "60416";
  pcs[3].identifier = "Intel64 Family 6 Model 142 Stepping 9", pcs[3].platformId = "128", pcs[3].chassis = "Notebook";
  pcs[4].vendor = "AuthenticAMD", pcs[4].identifier = "AMD64 Family 23 Model 1 Stepping 1";
  pcs[5].maker = "VMware Inc.", pcs[5].model = "VMware Virtual Platform", pcs[5].tpm = "none";
  pcs[6].os = "Microsoft Windows 11 Pro", pcs[6].build = "22631", pcs[6].vendor = "AuthenticAMD";
  pcs[6].identifier = "AMD64 Family 23 Model 17 Stepping 0", pcs[6].bypass = "MoSetup";
  pcs[7].older = true, pcs[7].visibleKb = "3984588";                            // 3.8 GiB visible: 4 GB
  pcs[8].older = true, pcs[8].cpu = "Intel(R) Core(TM) i5-3470 CPU @ 3.20GHz";  // estimated by name
  pcs[9].older = true, pcs[9].visibleKb = "3355443";                            // 3.2 GiB: either
  pcs[10].older = true, pcs[10].visibleKb = "2000000";
  pcs[11].older = true, pcs[11].os = "Microsoft Windows Server 2019 Standard";
  // Stepping 9 without the platform id, a name no list decides: Windows' verdict does.
  pcs[12].identifier = "Intel64 Family 6 Model 158 Stepping 9", pcs[12].appraiser = "GE24H2,Green,";
  pcs[12].cpu = "Intel(R) Xeon(R) CPU E3-1505M v6 @ 3.00GHz", pcs[12].tpm = "";  // TPM unread: Windows' verdict too
  pcs[13] = pcs[12], pcs[13].key = "w14", pcs[13].bypass = "LabConfig";  // Windows' verdict proves nothing
  pcs[14].architecture = "x86", pcs[14].identifier = "x86 Family 6 Model 158 Stepping 10";
  pcs[15].tpm = "", pcs[15].appraiser = "GE24H2,Red,Tpm";
  for (const PlanPc& pc : pcs) write(pc.records());

  ImportRequest request;
  request.prices = ParsePriceList(
      "区分,単価\nノート買い替え,180000\nメモリ増設,8000\nSSD交換,12000\n設定変更作業,5000\nESU,9500\n", codePage);
  request.registerList = RegisterList{{"部署"}, {{"w01", {"総務"}}, {"w04", {"営業"}}, {"w05", {"営業"}}}, 3};
  import(request);

  const std::string unknownFirmware = "TPMが不明、ファームウェアが不明、セキュアブートが不明";
  EXPECT_EQ(query("SELECT number, verdict, reasons, cost_yen, cost_note FROM win11_plan ORDER BY number"),
            "w01|アップグレード可||0|\n"
            "w02|設定変更で可|TPMなし（ファームウェアで無効の可能性）、レガシーBIOS|5000|\n"
            "w03|部品交換で可|メモリ4GB未満（実装 2.0 GB）、システムドライブ64GB未満（59.0 GB）|20000|\n"
            "w04|買い替え|CPUが非対応|180000|\n"
            "w05|買い替え|CPUが非対応||単価未設定（デスクトップ買い替え）\n"
            "w06|仮想マシン|TPMなし（ファームウェアで無効の可能性）|5000|\n"
            "w07|Windows 11済|非対応のCPUでWindows 11が動作、要件回避の痕跡（MoSetup）|0|\n"
            "w08|不明|" + unknownFirmware + "||判定不明\n"
            "w09|買い替え|CPUが非対応、" + unknownFirmware + "||単価未設定（デスクトップ買い替え）\n"
            "w10|不明|メモリが4GBか不明（表示 3.2 GB）、" + unknownFirmware + "||判定不明\n"
            "w11|部品交換で可|メモリ4GB未満（表示 1.9 GB から推定）、" + unknownFirmware + "|8000|\n"
            "w12|対象外|サーバーOS|0|\n"
            "w13|アップグレード可||0|\n"
            "w14|不明|CPUの対応が不明、TPMが不明||判定不明\n"
            "w15|設定変更で可|32ビット版Windows|5000|\n"
            "w16|設定変更で可|TPM 2.0なし（Windowsの判定）|5000|");
  EXPECT_EQ(query("SELECT number, basis FROM win11_plan WHERE number IN ('w01', 'w08', 'w09', 'w13') ORDER BY number"),
            "w01|CPUID規則（Intel Family 6 Model 158 Stepping 10）\n"
            "w08|対応CPU一覧（2025-10-06）\n"
            "w09|名前から推定（第2～7世代Core、対応CPU一覧（2025-10-06）になし）\n"
            "w13|Windowsの判定（GE24H2 Green）");
  EXPECT_EQ(query("SELECT number, detail FROM findings WHERE kind = 'win11_unsupported'"),
            "w07|非対応のCPUでWindows 11が動作、要件回避の痕跡（MoSetup）");

  // Totals: 14 Windows 10 PCs for ESU (not the server, not Windows 11);
  // the five without a cost counted apart, never as 0.
  const Win11Totals t = ReadWin11Totals(db());
  const auto group = [](const Win11Group& g) {
    std::string counts;
    for (int n : g.byVerdict) counts += std::to_string(n);
    return g.key + ":" + std::to_string(g.pcs) + "/" + counts + "/" + std::to_string(g.costYen) + "/" +
           std::to_string(g.unpriced) + "/" + std::to_string(g.esuPcs);
  };
  std::string departments;
  for (const Win11Group& g : t.byDepartment) departments += group(g) + " ";
  EXPECT_EQ(group(t.all), ":16/23231131/228000/5/14");
  EXPECT_EQ(t.departmentColumn + " " + departments, "部署 :13/13211131/48000/4/11 営業:2/00020000/180000/1/2 総務:1/10000000/0/0/1 ");
  EXPECT_EQ(group(t.byVerdict[3]), "買い替え:3/00030000/180000/2/3");
  EXPECT_EQ(t.esuYen[0].value_or(-1), 133000);
  EXPECT_EQ(t.esuYen[1].value_or(-1), 399000);
  EXPECT_EQ(t.esuYen[2].value_or(-1), 931000);

  // win11.csv: the register's columns after 使用者, the cost or why it is unknown.
  WriteExports(db(), dir / "out", ExportEncoding::Utf8Bom, codePage);
  std::ifstream in(dir / "out" / "win11.csv", std::ios::binary);
  std::string shown, line;
  while (std::getline(in, line)) {
    if (shown.empty() || line.starts_with("w01,") || line.starts_with("w05,")) shown += line + "\n";
  }
  const std::string facts = "Microsoft Windows 10 Pro,22H2,Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz,16.0,237.3,2.0,UEFI,無効（対応）,";
  EXPECT_EQ(shown,
            "\xEF\xBB\xBF管理番号,コンピュータ名,使用者,部署,OS,バージョン,CPU,メモリ(GB),システムドライブ(GB),TPM,ファームウェア,"
            "セキュアブート,判定,理由,対処,根拠,概算費用,収集日時\r\n"
            "w01,PC-w01,山田 太郎,総務," + facts + "アップグレード可,,,CPUID規則（Intel Family 6 Model 158 Stepping 10）,0,"
            "2026-12-01 09:05:07\r\n"
            "w05,PC-w05,山田 太郎,営業," + facts + "買い替え,CPUが非対応,新しいPCに買い替え,CPUID規則（AMD Family 23 Model 1 Stepping 1）,"
            "単価未設定（デスクトップ買い替え）,2026-12-01 09:05:07\r\n");
}

// --prices: a list without its columns leaves the database as it was; a row
// that does not read is said and sets nothing; the list is kept for later runs.
TEST_F(Win11PlanTest, ThePriceListIsKeptUntilTheNextOne) {
  write(PlanPc{"abc-05-0001"}.records());
  Options o;
  o.paths = {(dir / "SAVE").string()};
  o.db = (dir / "ledger.sqlite").string();
  o.noReport = true;
  const auto prices = [&](const char* name, const std::string& text) {  // beside the records, not among them
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  };
  o.pricesFile = prices("prices.csv", "区分,単価\r\nESU,\"9,500\"\r\nSSD交換,たくさん\r\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kAllTaken);
  EXPECT_NE(err.str().find("単価表 / price list 3行目 / line 3: 単価が金額ではありません / price not an amount: たくさん"),
            std::string::npos);
  o.pricesFile = prices("other.csv", "品目,金額\r\nESU,1\r\n");
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kUsageError);
  o.pricesFile.reset();
  EXPECT_EQ(RunLedger(o, codePage, out, err, false), kAllTaken);
  EXPECT_EQ(query("SELECT category, yen, line FROM win11_prices"), "ESU|9500|2");
  EXPECT_EQ(query("SELECT number, verdict, esu FROM win11_plan"), "abc-05-0001|アップグレード可|1");
}

}  // namespace
}  // namespace th::ledger::test

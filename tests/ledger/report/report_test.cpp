#include "ledger/report/report.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <tuple>

#include "ledger/report/deflate_text.h"
#include "ledger/report/id_lists.h"
#include "ledger/report/report_step.h"
#include "ledger/exports/exports.h"
#include "ledger/store/distinct_records.h"
#include "ledger/store/schema.h"
#include "ledger_fixture.h"
#include "platform/posix/iconv_codepage.h"

namespace th::ledger {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// What the page does with a part's text: base 85 to bytes, inflated.
std::string Inflate(std::string_view text) {
  const std::string_view digits(kDeflateTextDigits, 85);
  EXPECT_EQ(text.find_first_not_of(digits), std::string::npos);
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); i += 5) {
    const std::size_t n = std::min<std::size_t>(5, text.size() - i);
    std::uint64_t v = 0;
    for (std::size_t k = 0; k < 5; ++k) v = v * 85 + (k < n ? digits.find(text[i + k]) : 84);
    for (std::size_t k = 0; k + 1 < n; ++k) bytes += static_cast<char>(v >> (24 - 8 * k));
  }
  uLongf size = bytes.size() * 1032 + 64;  // deflate's greatest ratio
  uLong used = bytes.size();  // all of it: no padding after the stream
  std::string out(size, '\0');
  EXPECT_EQ(uncompress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()), &used), Z_OK);
  EXPECT_EQ(used, bytes.size());
  return out.substr(0, size);
}

TEST(DeflateText, EveryLengthOfLastGroupReadsBack) {
  for (const std::string& text : std::vector<std::string>{"", "a", "ab", "abc", "abcd", "{\"x\":\"</script>\"}", std::string(100000, 'x')}) {
    std::ostringstream out;
    DeflateText packed(out, 6);
    std::ostream(&packed) << text;
    packed.Finish();
    EXPECT_TRUE(Inflate(out.str()) == text) << text.size();
  }
}

struct ReportTest : ::testing::Test {
  Database db{":memory:"};
  // The process in the name: other builds on the machine run the same tests.
  fs::path dir = fs::temp_directory_path() / ("report_test_" + std::to_string(::getpid()) + "_" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::path file = dir / "report.html";

  void SetUp() override {
    ApplySchema(db);
    db.exec(ReadFile(LEDGER_REPORT_FIXTURE));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // The page, and the data its script reads: the parts in one object, the
  // records' columns back as five indices a record.
  std::pair<std::string, json> Write() {
    WriteReport(db.get(), file, {"2026-12-07 12:00:00"});
    const std::string page = ReadFile(file);
    const std::string open = "<script type=\"application/octet-stream\" id=\"report-data\">\n";
    const std::size_t from = page.find(open) + open.size();
    std::istringstream lines(page.substr(from, page.find("</script>", from) - from));
    json d = json::object();
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) {
      names.push_back(line.substr(0, line.find(':')));
      d.update(json::parse(Inflate(std::string_view(line).substr(line.find(':') + 1))));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"main", "records", "software", "win11"}));
    json records = json::array();
    int sum[5] = {};
    for (std::size_t r = 0; r < d["records"][0].size(); ++r)
      for (int f = 0; f < 5; ++f) records.push_back(sum[f] += d["records"][f][r].get<int>());
    d["records"] = records;
    for (json& text : d["strings"])  // a PC's own value as its cell in the PC's row
      if (text.is_number()) text = d["pcs"][text.get<int>() / 32][text.get<int>() % 32];
    return {page, d};
  }
};

std::vector<int> DecodeIds(const std::string& text, int nextSingle, const std::vector<int>& byText = {}) {
  const std::string digits = "0123456789abcdefghijklmnopqrstuv", last = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%()";
  const std::string steps = "wxyz-._~:;=?@[]^";
  std::vector<int> ids;
  int v = 0, place = -1;
  for (char c : text) {
    if (c == '*') {
      ids.push_back(nextSingle++);
    } else if (const auto step = steps.find(c); step != std::string::npos) {
      ids.push_back(byText.at(static_cast<std::size_t>(place += static_cast<int>(step) + 1)));
    } else if (const auto at = last.find(c); at != std::string::npos) {
      ids.push_back(v * 32 + static_cast<int>(at)), v = 0;
      if (const auto found = std::find(byText.begin(), byText.end(), ids.back()); found != byText.end()) place = static_cast<int>(found - byText.begin());
    } else {
      v = v * 32 + static_cast<int>(digits.find(c));
    }
  }
  return ids;
}

// The texts in the order 3, 0, 2, 1, 4, 5, ..., 20: steps from the last one
// placed. The records met once as "*", in turn, wherever they come.
TEST(IdLists, EncodesBase32AndNumbersTheMostFrequentFirst) {
  const std::vector<int> byText = {3, 0, 2, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, none = {};
  const std::vector<int> rank = {1, 3, 2, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};  // places by index
  for (const auto& [ids, from, ranked, text, next] : std::vector<std::tuple<std::vector<int>, int, bool, std::string, int>>{
           {{0, 31, 32, 1023, 1024, 5, 33554431}, 1 << 30, false, "A)1Av)10AFvvvv)", 1 << 30},
           {{7, 3, 8, 9, 11}, 7, false, "*D**L", 10},
           {{3, 2, 100, 1, 1, 20, 3, 19}, 100, true, "Dx*wBUDT", 101},
           {{0, 4, 100, 20, 2, 3, 1, 5}, 100, true, "Ay*^CDyx", 101},
           {{5, 19, 3, 15}, 100, true, "F[D]", 100}}) {
    int single = from;
    EXPECT_EQ(EncodeIds(ids, single, ranked ? rank : none), text);
    EXPECT_EQ(single, next);
    EXPECT_EQ(DecodeIds(text, from, ranked ? byText : none), ids);
  }
  // Ties in the order the lists first name them; the one met once after the others.
  for (const auto& [lists, renumber, singlesFrom] : std::vector<std::tuple<std::vector<std::vector<int>>, std::vector<int>, int>>{
           {{{2, 1}, {2, 3}, {2, 1}}, {3, 1, 0, 2}, 2}, {{{3, 1}, {1, 2}}, {3, 0, 2, 1}, 1}, {{{0}, {1}}, {0, 1}, 0}}) {
    const IdNumbering n = NumberByFrequency(lists, static_cast<int>(renumber.size()));
    EXPECT_EQ(n.renumber, renumber);
    EXPECT_EQ(n.singlesFrom, singlesFrom);
  }
}

// Record i of a PC's list as "group/item/subitem/contents/unit".
std::string RecordText(const json& d, int r) {
  std::string s;
  for (int f = 0; f < 5; ++f) s += (f ? "/" : "") + d["strings"][d["records"][r * 5 + f].get<int>()].get<std::string>();
  return s;
}

TEST_F(ReportTest, OverviewCountsFindingsAndDays) {
  // A collection without a usable date counts on no day; a PC under a
  // number the register lacks counts apart.
  db.exec("INSERT INTO files(id, sha256, path, name, size, import_id) VALUES (92, 'h92', 'F/y.csv', 'y.csv', 1, 2),"
          " (93, 'h93', 'F/z.csv', 'z.csv', 1, 2);"
          "INSERT INTO collections(id, file_id, number, collected_at, date_problem) VALUES"
          " (92, 92, 'abc-05-0001', NULL, 'bad_date'), (93, 93, 'abc-05-0077', NULL, 'bad_date');"
          "INSERT INTO pcs(number, collection_id) VALUES ('abc-05-0077', 93);");
  const json d = Write().second;
  EXPECT_EQ(d["now"], "2026-12-07 12:00:00");
  EXPECT_EQ(d["lastImport"], json::parse(R"({"startedAt":"2026-12-05 10:00:00","filesRead":3,"newPcs":1,
                                            "updatedPcs":1,"rejected":1})"));
  // Five numbers in the register; four reported by a PC each, and
  // abc-05-0004 (not in the register) by the PC now under abc-05-0005, which
  // counts there once. By department: numbers, PCs, numbers not reported.
  EXPECT_EQ(d["older"], json::parse("[[3, 4]]"));
  EXPECT_EQ(json({d["expected"], d["reportedOfRegister"], d["departmentColumn"], d["departments"]}),
            json::parse(R"([5, 4, "部署", [["経理部", 2, 1, 1], ["総務部", 2, 2, 0], ["<i>営業部</i>", 1, 1, 0],
                                          [null, -1, 1, 0]]])"));
  // Kinds in the order the ledger lists them, titles from finding_kinds,
  // those that set exit status 4 marked.
  std::vector<std::string> kinds;
  for (const json& f : d["findings"])
    kinds.push_back(f["kind"].get<std::string>() + (f.contains("attention") ? "!" : "") + " " + std::to_string(f["items"].size()));
  EXPECT_EQ(kinds, (std::vector<std::string>{"rejected! 1", "same_computer_name 2", "two_pcs! 1", "not_reported 1",
                                             "licence_shortage 1", "forbidden_software 1", "required_missing 3",
                                             "end_of_support 3"}));
  EXPECT_EQ(d["findings"][0]["title"], "取り込めなかったファイル");
  EXPECT_EQ(d["findings"][1]["items"], json::parse(R"([["abc-05-0001","SAVE2/abc-05-0001.csv","PC-SATO"],
                                                       ["abc-05-0003","SAVE2/abc-05-0003.csv","PC-SATO"]])"));
  EXPECT_EQ(d["findings"][3]["items"], json::parse(R"([["abc-05-0009",null,null,"[\"経理部\", \"支店\"]"]])"));
  EXPECT_EQ(d["perDay"], json::parse(R"([["2026-11-20",1],["2026-11-21",1],["2026-11-25",1],["2026-12-04",1],
                                         ["2026-12-05",3]])"));
}

// Each catalogue product with owned, installed (distinct PCs) and balance;
// the names it covers point at its row.
TEST_F(ReportTest, CatalogueProductsAndTheNamesTheyCover) {
  const json d = Write().second;
  EXPECT_EQ(d["licences"], json::parse(R"([["Office","Maker A","paid","有償",2,4,-2,null],
                                           ["Viewer","","free","無償",null,1,null,"2026-06-30"],
                                           ["Evil script","Evil","forbidden","禁止",null,1,null,null],
                                           ["AntiVirus","","required","必須",null,0,null,null],
                                           ["Windows 10","Microsoft","paid","有償",10,0,10,"2025-10-14"]])"));
  EXPECT_EQ(d["appProducts"], json::parse(R"([["<script>alert(1)</script>",2],["Office",0],["Viewer",1]])"));
  EXPECT_EQ(d["osProducts"], json::parse("[]"));
}

TEST_F(ReportTest, PcRowsRecordsAndChangesSincePreviousCollection) {
  // An older collection still, and a newer one whose date could not be
  // trusted: the change is against the previous one, neither of these.
  db.exec("INSERT INTO files(id, sha256, path, name, size, import_id) VALUES"
          " (90, 'h90', 'OLD/abc-05-0001.csv', 'abc-05-0001.csv', 1, 1), (91, 'h91', 'F/x.csv', 'x.csv', 1, 2);"
          "INSERT INTO collections(id, file_id, number, collected_at, date_problem) VALUES"
          " (90, 90, 'abc-05-0001', '2026-10-01 08:00:00', NULL), (91, 91, 'abc-05-0001', '9999-12-31 00:00:00',"
          " 'future_date');");
  const json d = Write().second;
  ASSERT_EQ(d["pcs"].size(), 5u);
  const json& first = d["pcs"][0];
  EXPECT_EQ(first[0], "abc-05-0001");
  EXPECT_EQ(first[5], "Windows 11 Pro 64 ビット");
  EXPECT_EQ(first[19], "2026-12-04 09:15:00");
  EXPECT_EQ(first[20], "SN1");  // the BIOS serial, after the columns scripts read by position
  EXPECT_EQ(first[21], "abc-05-0001.csv");
  EXPECT_EQ(first[22], "[\"総務部\", \"本社3F\"]");
  EXPECT_EQ(d["extraColumns"], "[\"部署\", \"設置場所\"]");
  EXPECT_EQ(d["newPcs"], json::parse("[3, 1]"));  // rows 3 and 4, as differences
  // abc-05-0005's updates step through every step character.
  const std::string list = d["pcRecords"][4];
  for (char c : std::string_view("wxyz-._~:;=?@[]^")) EXPECT_NE(list.find(c), std::string::npos) << c;

  // The current collection's records in file order.
  std::vector<std::string> records;
  for (int r : DecodeIds(d["pcRecords"][0], d["singlesFrom"], d["byText"])) records.push_back(RecordText(d, r));
  EXPECT_EQ(records, (std::vector<std::string>{
                         "Create/DateTime/2026/12/04/09:15:00/", "LAN/Adapter/MACアドレス/00-11-22-33-44-01/",
                         "Hard/メモリ/全容量/16777216/KB", "Soft/OS/Version/Windows 11 Pro 64 ビット/",
                         "Soft/Application/Office/2.0/Maker A", "Soft/Application/Viewer/5.0/",
                         "資産/管理情報/管理番号/abc-05-0001/"}));

  const json& change = d["changes"][0];
  EXPECT_EQ(change[0], "2026-11-20 08:30:00");
  std::vector<std::string> values;
  for (std::size_t k = 0; k < change[1].size(); k += 5) {
    const auto s = [&](std::size_t f) { return change[1][k + f] < 0 ? "-" : d["strings"][change[1][k + f].get<int>()].get<std::string>(); };
    values.push_back(s(1) + "/" + s(2) + ": " + s(3) + " > " + s(4));
  }
  EXPECT_EQ(values, (std::vector<std::string>{"Adapter/MACアドレス: - > 00-11-22-33-44-01",
                                              "メモリ/全容量: 8388608 KB > 16777216 KB",
                                              "OS/Version: Windows 10 Pro 64 ビット > Windows 11 Pro 64 ビット"}));
  std::vector<std::string> apps;
  for (int r : change[2]) apps.push_back("+" + RecordText(d, r));
  for (int r : change[3]) apps.push_back("-" + RecordText(d, r));
  EXPECT_EQ(apps, (std::vector<std::string>{"+Soft/Application/Office/2.0/Maker A", "+Soft/Application/Viewer/5.0/",
                                            "-Soft/Application/Office/1.0/Maker A",
                                            "-Soft/Application/Old Tool/3.1/Tools Inc"}));
  EXPECT_TRUE(d["changes"][1].is_null());
  // abc-05-0003's previous collection is another PC's (another system UUID): not compared.
  EXPECT_EQ(d["changes"][2], json::parse(R"(["2026-11-25 10:00:00", false])"));
}

// Each PC's profile of facts and verdict by its row, none for an older
// number; the totals as the store counts them, ESU for the one Windows 10 PC.
TEST_F(ReportTest, Win11PlanByPcAndItsTotals) {
  const json w = Write().second["win11"];
  EXPECT_EQ(w["pcs"], json::parse("[0, 1, 2, -1, 3]"));
  EXPECT_EQ(w["profiles"][3], json::parse(R"([3, "CPU 非対応、TPM 1.2", "PCの買い替え",
      "対応リスト（2025-10-06）: 非対応（名前から推定）", "1.2", "BIOS", "非対応", 40, true, 1162, "22H2", null,
      "単価未設定", true, "notebook", "Maker B", "Model 4"])"));
  EXPECT_EQ(json({w["totals"]["all"], w["totals"]["byDepartment"], w["totals"]["esuYen"], w["prices"]}), json::parse(R"([
      ["", 4, [0, 0, 0, 1, 0, 3, 0, 0], 0, 1, 1],
      [["総務部", 2, [0, 0, 0, 0, 0, 2, 0, 0], 0, 0, 0], ["<i>営業部</i>", 1, [0, 0, 0, 0, 0, 1, 0, 0], 0, 0, 0],
       ["経理部", 1, [0, 0, 0, 1, 0, 0, 0, 0], 0, 1, 1]],
      [7000, 21000, 49000], [["デスクトップ買い替え", 120000], ["ESU", 7000]]])"));
}

TEST_F(ReportTest, SoftwareAndHostileTextsStayData) {
  const auto [page, d] = Write();
  // By name and version, most PCs first: abc-05-0002 lists Office twice,
  // once in full-width letters under a product ID; it counts once.
  EXPECT_EQ(d["software"], json::parse(R"([["Office","2.0","Maker A",4],
      ["\"><img src=x onerror=alert(2)>","1.0","",1], ["<script>alert(1)</script>","6.6","Evil",1],
      ["Office","1.0","Maker A",1], ["Viewer","5.0","",1]])"));
  EXPECT_EQ(page.find("<script>alert"), std::string::npos);
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  // The template's two script elements, and no third one opened by the data.
  std::size_t scripts = 0;
  for (std::size_t at = page.find("<script"); at != std::string::npos; at = page.find("<script", at + 1)) ++scripts;
  EXPECT_EQ(scripts, 2u);
}

TEST_F(ReportTest, ThePagesPcHeadingsAreThoseOfPcsCsv) {
  const auto [page, d] = Write();
  platform::IconvCodePage cp;
  WriteExports(db, dir, ExportEncoding::Utf8Bom, cp);
  const std::string csv = ReadFile(dir / "pcs.csv").substr(3);
  std::vector<std::string> csvHeadings;
  std::stringstream line(csv.substr(0, csv.find("\r\n")));
  for (std::string field; std::getline(line, field, ',');) csvHeadings.push_back(field);
  std::vector<std::string> pageHeadings;
  for (const auto& c : d["pcColumns"]) pageHeadings.push_back(c[0].get<std::string>());
  for (const auto& c : json::parse(d["extraColumns"].get<std::string>())) pageHeadings.push_back(c.get<std::string>());
  pageHeadings.push_back("Win11判定");  // the page's own last column, the plan's verdict
  EXPECT_EQ(pageHeadings, csvHeadings);
  EXPECT_EQ(csvHeadings.front(), "管理番号");
}

TEST_F(ReportTest, AFailedReportLeavesThePreviousOneInPlace) {
  Write();
  const std::string before = ReadFile(file);
  db.exec("DROP VIEW pc_summary");
  EXPECT_THROW(WriteReport(db.get(), file), DbError);
  EXPECT_TRUE(ReadFile(file) == before);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace th::ledger

namespace th::ledger {
namespace {

namespace fs = std::filesystem;

TEST(ReportStep, BesideTheDatabaseUnlessGivenAndFailureIsSaid) {
  EXPECT_EQ(ReportPath("data/ledger.sqlite", std::nullopt), "data/report.html");
  EXPECT_EQ(ReportPath("ledger.sqlite", std::nullopt), "report.html");
  EXPECT_EQ(ReportPath("data/ledger.sqlite", std::string("out/r.html")), "out/r.html");
  const fs::path dir = fs::temp_directory_path() / ("report_step_test_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  {
    Database db((dir / "ledger.sqlite").string());
    ApplySchema(db);
  }
  std::ostringstream out, err;
  EXPECT_TRUE(WriteReportFile((dir / "ledger.sqlite").string(), (dir / "report.html").string(), out, err));
  EXPECT_TRUE(fs::exists(dir / "report.html"));
  EXPECT_FALSE(WriteReportFile((dir / "ledger.sqlite").string(), (dir / "missing" / "r.html").string(), out, err));
  EXPECT_NE(err.str().find("cannot write the report"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace th::ledger

namespace th::ledger::test {
namespace {

// Thousands of records, enough for the index to grow several times, met
// twice each in another order: each keeps the number of its first meeting,
// its texts and the texts' numbers.
TEST(DistinctRecords, EachRecordOnceByItsFiveTexts) {
  const auto nth = [](int i) {  // fields shared between records, and records differing in one field only
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

// The report written from the records the import handed over is the one
// read back from the database, byte for byte, whichever of a PC's
// collections the run took: none, the current one, the previous one, both,
// or only an older one.
TEST_F(LedgerTest, ReportFromTheImportsRecordsIsTheOneReadBack) {
  const std::vector<std::string> apps = {"Alpha Tool,1.2,Alpha Works", "Beta Viewer,5.0,"};
  const std::vector<std::vector<Pc>> runs = {
      // 0001 twice in one run: its previous collection taken too.
      {{.key = "abc-05-0001", .date = "2026/11/01", .records = {"Hard,メモリ,全容量,8388608,KB"}},
       {.key = "abc-05-0001", .date = "2026/12/01", .software = apps, .records = {"Hard,メモリ,全容量,16777216,KB"}},
       {.key = "abc-05-0002", .computer = "PC-BETA", .uuid = "{2222}", .mac = "00-1A-2B-3C-4D-02"}},
      // 0001's previous from the first run, 0002 only read back (an older file of it taken), 0003 new.
      {{.key = "abc-05-0001", .date = "2026/12/03", .software = {apps[1]}},
       {.key = "abc-05-0002", .date = "2026/10/01", .computer = "PC-OLD"},
       {.key = "abc-05-0003", .computer = "PC-GAMMA", .software = {apps[1], "Gamma,1,G"}}},
      {},  // nothing taken: every record read back
  };
  for (std::size_t run = 0; run < runs.size(); ++run) {
    for (const Pc& pc : runs[run]) write(pc, pc.key + "-" + pc.date.substr(5, 2) + pc.date.substr(8) + ".csv");
    TakenRecords taken;
    ImportRequest request;
    request.keep = &taken;
    import(request);
    // The lists held, each as its collection is stored, against the collections `held` picks.
    const auto expectHeld = [&](const std::string& held) {
      std::string lists, stored;
      Statement each = db().prepare("SELECT c.id, " + held + " FROM collections c JOIN files f ON f.id = c.file_id ORDER BY c.id");
      while (each.step()) {
        const std::string id = std::to_string(each.integer(0));
        if (const std::vector<int>* list = taken.Find(each.integer(0))) {
          lists += "#" + id;
          for (int i : *list)
            for (int f = 0; f < 5; ++f) lists += (f ? "|" : "\n") + taken.records.Text(taken.records.FieldText(i, f));
        }
        if (!runs[run].empty() && each.integer(1))
          stored += "#" + id + "\n" + query("SELECT grp, item, subitem, contents, unit FROM records WHERE collection_id = " + id + " ORDER BY line");
      }
      EXPECT_EQ(lists, stored) << run << " " << held;
    };
    // Each collection the run took; those of earlier runs not.
    const std::string took = "f.import_id = (SELECT max(id) FROM imports)";
    expectHeld(took);
    WriteReport(db().get(), dir / "read_back.html", {"2026-12-07 12:00:00"});
    WriteReport(db().get(), dir / "handed.html", {"2026-12-07 12:00:00", &taken});
    EXPECT_TRUE(ReadFile(dir / "read_back.html") == ReadFile(dir / "handed.html")) << run;
    // The current collections' lists were handed over and are no longer held.
    expectHeld(took + " AND c.id NOT IN (SELECT collection_id FROM pcs)");
  }
}

}  // namespace
}  // namespace th::ledger::test

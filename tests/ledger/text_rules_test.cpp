// The small text rules of the ledger: hashing, the number's shape, file
// names, CSV fields in and out, calendar days.
#include <gtest/gtest.h>

#include "ledger/records/record_file_name.h"
#include "ledger/exports/exports.h"
#include "ledger/text/local_time.h"
#include "ledger/records/register_file.h"
#include "ledger/import/sha256.h"
#include "platform/posix/iconv_codepage.h"
#include "shared/management_number.h"

namespace th::ledger {
namespace {

TEST(Sha256, KnownDigests) {
  // Both engines: the processor's SHA instructions (where it has them) and the portable rounds.
  for (const Sha256Engine engine : {Sha256Engine::kAuto, Sha256Engine::kPortable}) {
    SCOPED_TRACE(static_cast<int>(engine));
    const auto hex = [engine](std::string_view bytes) { return Sha256Hex(bytes, engine); };
    EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the last block.
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hex(std::string(1000, 'a')), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
    // The standard's long vectors: 112 bytes over two blocks, and a million bytes.
    EXPECT_EQ(hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
                  "mnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  }
}

TEST(ManagementNumber, Shape) {
  for (const char* good : {"abc-05-0012", "abc-05-a012", "xyz-99-Z999"}) EXPECT_TRUE(forms::IsManagementNumber(good)) << good;
  for (const char* bad : {"", "ABC-05-0012", "abc-5-0012", "abc-05-012", "abc-05-ab12", "abc_05_0012", "abc-05-00120"}) {
    EXPECT_FALSE(forms::IsManagementNumber(bad)) << bad;
  }
}

TEST(NameMatchesKey, TheKeyOrTheKeyAndASuffix) {
  EXPECT_TRUE(NameMatchesKey("abc-05-0012.csv", "abc-05-0012"));
  EXPECT_TRUE(NameMatchesKey("abc-05-0012.CSV", "abc-05-0012"));
  EXPECT_TRUE(NameMatchesKey("abc-05-0012 (前回 2026-12-01 PC-ALPHA).csv", "abc-05-0012"));
  EXPECT_TRUE(NameMatchesKey("abc-05-0012(1).csv", "abc-05-0012"));  // as a browser saves a second download
  EXPECT_TRUE(NameMatchesKey("abc-05-0012（1）.csv", "abc-05-0012"));
  EXPECT_FALSE(NameMatchesKey("abc-05-0013.csv", "abc-05-0012"));
  EXPECT_FALSE(NameMatchesKey("abc-05-00123.csv", "abc-05-0012"));
  EXPECT_FALSE(NameMatchesKey("abc-05-0012.txt", "abc-05-0012"));
}

TEST(CsvField, NeutralisesFormulasAndQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain", "plain"},       {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"}, {"+1", "'+1"},
      {"-2", "-2"},             {"-2+3", "'-2+3"}, {"-", "'-"}, {"@SUM(A1)", "'@SUM(A1)"},                   {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"=a,b", "\"'=a,b\""},          {"", ""},
      {"a\rb", "\"a\rb\""},       {"a\nb", "\"a\nb\""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(CsvField(in), out) << in;
}

TEST(IsRealDay, MonthLengthsAndLeapYears) {
  const std::tuple<int, int, int, bool> days[] = {
      {2026, 1, 31, true},  {2026, 4, 31, false}, {2026, 12, 31, true}, {2026, 13, 1, false}, {2026, 0, 1, false},
      {2026, 1, 0, false},  {2024, 2, 29, true},  {2026, 2, 29, false}, {2026, 2, 28, true},  {1900, 2, 29, false},
      {2000, 2, 29, true},
  };
  for (const auto& [y, m, d, real] : days) EXPECT_EQ(IsRealDay(y, m, d), real) << y << "-" << m << "-" << d;
}

// The register as read: its columns, each row, what was skipped.
std::string Dump(const RegisterList& r) {
  std::string out = "columns:";
  for (const std::string& c : r.columns) out += " " + c;
  for (const auto& row : r.rows) {
    out += "\n" + row.number;
    for (const std::string& v : row.extra) out += "|" + v;
  }
  for (int at : r.skippedAbove) out += "\nabove " + std::to_string(at);
  for (const auto& [at, field] : r.notNumbers) out += "\nno number " + std::to_string(at) + " " + field;
  return out;
}

TEST(Register, HeadingsFurtherColumnsAndLinesThatAreNoPc) {
  platform::IconvCodePage cp;
  const std::pair<std::string, const char*> cases[] = {
      {"\xEF\xBB\xBF管理番号,部署,場所\r\nabc-05-0012,総務,\"本社, 3F\"\r\nabc-05-0013\r\n\r\n",
       "columns: 部署 場所\nabc-05-0012|総務|本社, 3F\nabc-05-0013||"},
      // Code page 932 without headings: every line is a number.
      {cp.toAnsi("abc-05-0012,総務\nabc-05-0013,経理\n"), "columns: 列2\nabc-05-0012|総務\nabc-05-0013|経理"},
      // As Japanese Excel ledgers begin and end: a title, an empty line, the
      // headings; a total and a note below the PCs.
      {cp.toAnsi("PC管理台帳（2026年12月現在）,,,\r\n,,,\r\n管理番号,部署,購入日,取得価額\r\n"
                 "ABC-05-0012 ,総務,令和3年4月1日,\"\\148,500\"\r\nabc-05-0013,経理,,\r\n合計,,,\"\\148,500\"\r\n"
                 "※リース品を含む,,,\r\n"),
       "columns: 部署 購入日 取得価額\nabc-05-0012|総務|令和3年4月1日|\\148,500\nabc-05-0013|経理||\n"
       "above 1\nabove 2\nno number 6 合計\nno number 7 ※リース品を含む"},
      // TABs, the headings named in English below a title without a separator.
      {"Inventory\r\nAsset No\tx\r\nabc-05-0001\ty\r\n",
       "columns: x\nabc-05-0001|y\nabove 1"},
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(Dump(ParseRegister(bytes, cp)), expected) << expected;

  RegisterList skipped;
  skipped.skippedAbove = {1, 2};
  skipped.notNumbers = {{6, "合計"}, {7, "※"}};
  EXPECT_EQ(RegisterNotes(skipped),
            (std::vector<std::string>{
                "台帳の見出しの上の1〜2行目を読み飛ばしました / skipped the register's lines 1-2 above its headings",
                "台帳の管理番号でない2行はPCとして読みません（6行目「合計」ほか） / 2 lines of the register without a "
                "management number read as no PC (line 6: \"合計\"...)"}));
}

}  // namespace
}  // namespace th::ledger

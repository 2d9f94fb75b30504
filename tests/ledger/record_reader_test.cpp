#include "ledger/records/record_reader.h"

#include <gtest/gtest.h>

#include "ledger/text/decode_memo.h"
#include "platform/posix/iconv_codepage.h"

namespace th::ledger {
namespace {

constexpr const char* kHeader = "Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n";

RecordFile Read(const std::string& bytes) {
  platform::IconvCodePage cp;
  RecordFile f;
  ReadRecordFile(bytes, cp, f);
  return f;
}

TEST(RecordReader, TakesARecordFileLineByLine) {
  platform::IconvCodePage cp;
  const RecordFile f = Read(cp.toAnsi(std::string(kHeader) +
                                      "abc-05-0012,Create,DateTime,2026/12/01,09:05:07,,2026/12/01\r\n"
                                      "abc-05-0012,資産,管理情報,姓,山田,,2026/12/01\r\n\r\n"));
  ASSERT_EQ(f.rejected, "");
  ASSERT_EQ(f.rows.size(), 2u);
  EXPECT_EQ(f.key(), "abc-05-0012");
  EXPECT_EQ(f.rows[1].line, 3);
  EXPECT_EQ(f.rows[1].fields[kContents], "山田");
  EXPECT_EQ(f.rows[1].fields[kUnit], "");
  EXPECT_FALSE(f.cutShort);
}

TEST(RecordReader, RejectsWhatIsNotARecordFile) {
  const std::string line = "k,G,I,S,C,U,R\r\n";
  const struct {
    std::string bytes, reason;
  } cases[] = {
      {"", "空のファイルです / an empty file"},
      {"Key,Group", "見出し行がありません / no header line"},
      {"Key;Group;Item\r\n" + line, "見出し行が記録ファイルのものではありません / not a record file's header line"},
      {kHeader, "見出し行のほかに記録がありません / no record after the header line"},
      {kHeader + line + "k,G,I,S,C,U\r\n", "3行目の項目数が7つではありません / line 3: not seven fields"},
      {kHeader + line + "\r\n" + line, "3行目の項目数が7つではありません / line 3: not seven fields"},
      {kHeader + line + "k,G,I,S,C,U,R,X\r\n", "3行目の項目数が7つではありません / line 3: not seven fields"},
      {kHeader + line + "j,G,I,S,C,U,R\r\n", "3行目のKeyが他の行と異なります / line 3: a Key other than the first line's"},
      {kHeader + std::string(",G,I,S,C,U,R\r\n"), "Key（管理番号）が空です / an empty Key (management number)"},
      {kHeader + std::string("k,G,I,S,\x85\x40,U,R\r\n"), "文字コード932として読めないバイトがあります / bytes that are not code page 932"},
  };
  for (const auto& c : cases) {
    const RecordFile f = Read(c.bytes);
    EXPECT_EQ(f.rejected, c.reason) << c.bytes;
    EXPECT_TRUE(f.rows.empty()) << c.bytes;
  }
}

TEST(RecordReader, LeavesOutALineCutOffMidCharacter) {
  // The write stopped after the lead byte of a double-byte character, or
  // after the first byte of a line.
  for (const char* cut : {"k,G,I,\x8E", "k"}) {
    const RecordFile f = Read(std::string(kHeader) + "k,G,I,S,C,U,R\r\n" + cut);
    EXPECT_EQ(f.rejected, "") << cut;
    EXPECT_EQ(f.rows.size(), 1u) << cut;
    EXPECT_TRUE(f.cutShort) << cut;
  }
}

TEST(DecodeMemo, DecodesAsTheSystemDoesAndRefusesWhatItRefuses) {
  platform::IconvCodePage cp;
  DecodeMemo memo(cp);
  // ソフト, an ideographic space, ｱ (one byte), a trail byte in ASCII's range (ソ = 83 5C), ASCII between.
  const std::string good = "ab\x83\x5C\x83\x74\x83\x67,\x81\x40\xB1x\x83\x5C";
  for (int pass = 0; pass < 2; ++pass) {  // the second from the table alone
    EXPECT_EQ(memo.fromAnsiStrict(good), std::optional<std::string>("abソフト,　ｱxソ"));
  }
  for (const std::string bad : {"a\x81 b", "ab\x82", "\x85\x40"}) EXPECT_EQ(memo.fromAnsiStrict(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace th::ledger

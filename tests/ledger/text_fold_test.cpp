#include "ledger/text/text_fold.h"

#include <gtest/gtest.h>

namespace th::ledger {
namespace {

TEST(FoldName, OneSpellingForWhatPeopleAndProgramsWrite) {
  const std::pair<const char*, const char*> cases[] = {
      {"Microsoft Corporation", "Microsoft Corporation"},
      {" Microsoft Corporation　", "Microsoft Corporation"},   // ASCII and ideographic blanks trimmed
      {"Ｍｉｃｒｏｓｏｆｔ　Ｏｆｆｉｃｅ", "Microsoft Office"},  // full-width letters; the blank inside stays
      {"ｿﾌﾄｳｪｱ", "ソフトウェア"},
      {"ｶﾞｲﾄﾞ ﾊﾟｯｸ ｳﾞｨ", "ガイド パック ヴィ"},                     // voiced marks composed
      {"か\u3099は\u309Aワ\u3099", "がぱヷ"},                          // combining marks after full-width kana
      {"ﾞｱ", "\u3099ア"},                                            // a mark with nothing to compose stays
      {"ｶﾞﾞ", "ガ\u3099"},                                           // and a second mark
      {"ツール②⑳Ⅲ㈱™", "ツール220III(株)TM"},
      {"\xA0x\u2003y\xC2", "\xA0x y\xC2"},                            // bytes that are not UTF-8 pass
      {"\u00A0", ""},
      {"　 \t", ""},
      {"￥１，０００", "\u00A5" "1,000"},
      {"ｖ１～２\u200Ab", "v1~2 b"},  // the last full-width sign and the last of the narrow spaces
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(FoldName(in), out) << in;
}

TEST(FoldKey, IgnoresCaseAndWidth) {
  EXPECT_EQ(FoldKey(" ＡＢＣ-05-0012　"), "abc-05-0012");
  EXPECT_EQ(FoldKey("Ｏｆｆｉｃｅ ÄB"), "office Äb");  // only ASCII letters change case
}

}  // namespace
}  // namespace th::ledger

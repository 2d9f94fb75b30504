#include <gtest/gtest.h>

#include "platform/posix/iconv_codepage.h"

namespace th {
namespace {

TEST(IconvCodePage, Cp932BothWaysWithReplacementsForWhatDoesNotFit) {
  platform::IconvCodePage cp;
  EXPECT_EQ(cp.toAnsi("rem データファイルをクリア"), "rem \x83\x66\x81\x5B\x83\x5E\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x83\x4E\x83\x8A\x83\x41");
  EXPECT_EQ(cp.fromAnsi(cp.toAnsi("資産,管理情報 ①Ⅱ～")), "資産,管理情報 ①Ⅱ～");
  EXPECT_EQ(cp.toAnsi("a\xF0\x9F\x98\x80z"), "a??z");
  EXPECT_EQ(cp.toAnsi("\xC3\xA9"), "?");  // é has no place in 932
  EXPECT_EQ(cp.fromAnsi("a\x83"), "a\xEF\xBF\xBD");  // truncated double-byte character
  EXPECT_EQ(cp.fromAnsi(std::string("\x80\xFF", 2)), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(cp.fromAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
  // Trail bytes in the ASCII range (ソ is 83 5C, 表 95 5C) and a lead byte before a line end.
  EXPECT_EQ(cp.fromAnsi("\x83\x5C\x95\x5C,x"), "ソ表,x");
  EXPECT_EQ(cp.fromAnsi("a\x81\nb"), "a\xEF\xBF\xBD\nb");
}

TEST(IconvCodePage, CutOffUtf8TakesOnlyItsOwnBytes) {
  // Found by fuzzing: a cut-off sequence swallowed the comma after it, so a
  // record line lost a field separator.
  platform::IconvCodePage cp;
  EXPECT_EQ(cp.toAnsi("\xE9,0"), "?,0");
  EXPECT_EQ(cp.toAnsi("x\xE3\x83\r\n"), "x?\r\n");
  EXPECT_EQ(cp.toAnsi("\xF0\x9F,\xF0\x9F\x98"), "?,?");
  EXPECT_EQ(cp.toAnsi("\xE9"), "?");
}

}  // namespace
}  // namespace th

#include "ledger/report/json_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace th::ledger {
namespace {

// U+FFFD once per byte that is no character.
std::string Replaced(int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += "\xEF\xBF\xBD";
  return s;
}

TEST(JsonWriter, StringsStayInsideTheScriptElementAndParseBack) {
  const struct {
    std::string in, parsed;
  } cases[] = {
      {"</script><script>alert(1)</script>", "</script><script>alert(1)</script>"},
      {"\"><img src=x onerror=alert(1)> <!-- &amp;", "\"><img src=x onerror=alert(1)> <!-- &amp;"},
      {"タブ\t改行\r\n\\", "タブ\t改行\r\n\\"},
      {"cut \x83", "cut \xEF\xBF\xBD"},                // a lone lead byte of code page 932
      {"\xC0\xAF \xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong, surrogate
      {"\xE0\x80\xAF\xF0\x8F\xBF\xBF", Replaced(7)},  // "/" and U+FFFF in too many bytes
      {"\xF4\x90\x80\x80", Replaced(4)},                  // above U+10FFFF
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"unit\x1fsep\x01\x7f", "unit\x1fsep\x01\x7f"},  // control characters escaped, else the parse fails
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    JsonWriter(out).String(c.in);
    EXPECT_EQ(out.str().find_first_of("<>&"), std::string::npos) << out.str();
    EXPECT_EQ(nlohmann::json::parse(out.str()).get<std::string>(), c.parsed) << c.in;
  }
}

TEST(JsonWriter, NestsContainersWithSeparators) {
  std::ostringstream out;
  JsonWriter w(out);
  w.BeginObject().Key("a").BeginArray().Int(1).Null().BeginArray().EndArray().String("x").EndArray();
  w.Key("b").Int(-2).EndObject();
  EXPECT_EQ(out.str(), R"({"a":[1,null,[],"x"],"b":-2})");
}

}  // namespace
}  // namespace th::ledger

// Code page 932 both ways: invalid and truncated double-byte sequences, and
// characters Shift-JIS cannot hold.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/posix/iconv_codepage.h"

namespace {

// Bytes below "?" are never part of a multi-byte character in either
// encoding, so a conversion keeps each of them: commas, digits, line ends.
std::string Low(std::string_view s) {
  std::string low;
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 0x3F) low += c;
  }
  return low;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  th::platform::IconvCodePage cp;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::string text = cp.fromAnsi(bytes);
  FUZZ_CHECK(th::fuzz::ValidUtf8(text));
  const std::string back = cp.toAnsi(text);
  // Every character comes back as one or two bytes (or "?" per UTF-16 unit).
  FUZZ_CHECK(back.size() <= 2 * size);
  FUZZ_CHECK(Low(text) == Low(bytes));
  FUZZ_CHECK(Low(back) == Low(bytes));

  // The input read as UTF-8 (valid or not) must convert without crashing.
  const std::string ansi = cp.toAnsi(bytes);
  FUZZ_CHECK(ansi.size() <= 2 * size);
  FUZZ_CHECK(Low(ansi) == Low(bytes));
  FUZZ_CHECK(th::fuzz::ValidUtf8(cp.fromAnsi(ansi)));
  return 0;
}

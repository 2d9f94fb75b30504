// ReadTextLines over arbitrary file bytes and skip prefixes, with and
// without a read failing part-way.
#include <cstdint>
#include <string>
#include <vector>

#include "collect/network_identity.h"
#include "fakes/fake_platform.h"
#include "fuzz_support.h"

namespace {

constexpr const char* kFile = "C:\\Users\\user\\AppData\\Local\\Temp\\TH1A2B.tmp";

}  // namespace

// Input: one byte with the prefix length (low 4 bits) and a failure flag
// (bit 7), the prefix, then the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t prefixLength = std::min<std::size_t>(data[0] & 0x0F, in.size());
  const bool failing = data[0] & 0x80;
  const std::string prefix(in.substr(0, prefixLength));
  const std::string bytes(in.substr(prefixLength));

  th::test::FakePlatform p;
  th::RunContext ctx{p.os};
  p.fs.addFile(kFile, bytes);
  std::vector<std::string> decoded;
  for (auto r = p.fs.openLines(kFile).value; true;) {
    std::string l;
    if (!r->next(l)) break;
    decoded.push_back(p.codePage.fromAnsi(l));
  }
  const int readBefore = p.fs.linesRead;
  if (failing) p.fs.readFailsAfter[kFile] = static_cast<int>(decoded.size() / 2);

  std::vector<std::string> lines{"left over from before"};
  const int n = th::ReadTextLines(ctx, kFile, lines, prefix);
  FUZZ_CHECK(n == (lines.empty() ? -1 : static_cast<int>(lines.size())));
  // One read per line and one for the end: nothing reads on after the end or a failure.
  FUZZ_CHECK(p.fs.linesRead - readBefore <= static_cast<int>(decoded.size()) + 1);
  if (failing || bytes.empty()) {
    FUZZ_CHECK(n == -1);
    return 0;
  }
  // The result is the decoded lines, in order, less the empty ones and those
  // starting with the prefix.
  std::size_t next = 0;
  for (const std::string& d : decoded) {
    const bool skipped = d.empty() || (!prefix.empty() && d.rfind(prefix, 0) == 0);
    if (skipped) continue;
    FUZZ_CHECK(next < lines.size() && lines[next] == d);
    ++next;
  }
  FUZZ_CHECK(next == lines.size());
  for (const std::string& l : lines) {
    FUZZ_CHECK(th::fuzz::ValidUtf8(l));
    FUZZ_CHECK(l.find_first_of("\r\n") == std::string::npos);
  }
  return 0;
}

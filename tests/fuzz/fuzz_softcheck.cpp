// SoftCheck over a registry dump of arbitrary bytes: what it writes, what it
// leaves out, and that the dump goes only after a complete read.
#include <cstdint>
#include <string>
#include <vector>

#include "collect/software.h"
#include "fakes/fake_platform.h"
#include "dump_oracle.h"
#include "fuzz_support.h"
#include "support/error_log.h"

namespace {

constexpr const char* kDump = "C:\\Tools\\Inv\\SAVE\\TH_reg.TxT";
constexpr const char* kRecords = "C:\\Tools\\Inv\\SAVE\\r.csv";
constexpr const char* kLog = "C:\\Tools\\Inv\\Error.Log";

// Splits decoded lines the way the dump is laid out: a block ends at an empty
// line or a key path; within it the last line naming a value wins.
struct Expected {
  std::string name, version, unit;
};

std::vector<Expected> ExpectedRecords(const std::vector<std::string>& lines) {
  std::vector<Expected> out;
  std::vector<std::string> block;
  auto close = [&] {
    std::string parent, name, version, location, publisher, product;
    for (const std::string& l : block) {
      std::string* target = l.rfind("ParentDisplayName", 0) == 0 ? &parent
                            : l.rfind("DisplayName", 0) == 0     ? &name
                            : l.rfind("DisplayVersion", 0) == 0  ? &version
                            : l.rfind("InstallLocation", 0) == 0 ? &location
                            : l.rfind("Publisher", 0) == 0       ? &publisher
                            : l.rfind("ProductID", 0) == 0       ? &product
                                                                 : nullptr;
      if (target) *target = th::fuzz::DataOf(l);
    }
    block.clear();
    if (!parent.empty() || name.empty() || th::fuzz::LooksLikeUpdate(name)) return;
    out.push_back({name, version, !product.empty() ? product : !publisher.empty() ? publisher : location});
  };
  for (const std::string& raw : lines) {
    const std::string l = th::fuzz::TrimBlanks(raw);
    if (l.empty() || l.rfind("HKEY_", 0) == 0) close();
    else block.push_back(l);
  }
  close();
  return out;
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  FUZZ_CHECK(start == bytes.size());  // every record line is complete
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find(',', start)) != std::string::npos; start = end + 1) {
    fields.push_back(line.substr(start, end - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

struct Run {
  th::test::FakePlatform p;
  th::RunContext ctx{p.os};
  explicit Run(const std::string& dump) {
    th::SetLogFile(ctx, kLog);
    ctx.recordFilePath = kRecords;
    p.fs.addFolder("C:\\Tools\\Inv\\SAVE");
    p.fs.addFile(kRecords, "");
    p.fs.addFile(kDump, dump);
    ctx.rec.Key = "abc-05-0012";
    ctx.rec.Renewalday = "2026/12/06";
  }
  std::vector<std::string> records() {
    std::vector<std::string> out;
    for (const std::string& l : SplitCrLf(p.fs.content(kRecords))) out.push_back(p.codePage.fromAnsi(l));
    return out;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string dump(reinterpret_cast<const char*>(data), size);

  // The dump's lines as the collector sees them, decoded.
  std::vector<std::string> lines;
  {
    th::test::FakeFileSystem fs;
    fs.addFile("C:\\d", dump);
    th::platform::IconvCodePage cp;
    auto reader = fs.openLines("C:\\d").value;
    for (std::string l; reader->next(l);) lines.push_back(cp.fromAnsi(l));
  }
  const std::vector<Expected> expected = ExpectedRecords(lines);

  Run whole(dump);
  th::SoftCheck(whole.ctx, kDump);
  const std::vector<std::string> written = whole.records();
  FUZZ_CHECK(written.size() == expected.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    const std::vector<std::string> f = Fields(written[i]);
    FUZZ_CHECK(f.size() == 7);
    FUZZ_CHECK(f[0] == "abc-05-0012" && f[1] == "Soft" && f[2] == "Application" && f[6] == "2026/12/06");
    FUZZ_CHECK(written[i].find('"') == std::string::npos);
    // The record file holds what code page 932 can: compare after the same round trip.
    const auto onDisk = [&](const std::string& s) {
      return whole.p.codePage.fromAnsi(whole.p.codePage.toAnsi(th::fuzz::AsRecordField(s)));
    };
    FUZZ_CHECK(f[3] == onDisk(expected[i].name));
    FUZZ_CHECK(f[4] == onDisk(expected[i].version));
    FUZZ_CHECK(f[5] == onDisk(expected[i].unit));
  }
  FUZZ_CHECK(!whole.p.fs.hasFile(kDump));  // read to the end: the dump goes
  FUZZ_CHECK(!whole.p.fs.hasFile(kLog));
  FUZZ_CHECK(whole.ctx.rec.Group == "Soft" && whole.ctx.rec.SubItem.empty());

  // A read failing half-way: the records already written stay, nothing is
  // invented after the failure, and the dump is kept.
  if (lines.size() >= 2) {
    Run cut(dump);
    cut.p.fs.readFailsAfter[kDump] = static_cast<int>(lines.size() / 2);
    th::SoftCheck(cut.ctx, kDump);
    const std::vector<std::string> partial = cut.records();
    FUZZ_CHECK(partial.size() <= written.size());
    for (std::size_t i = 0; i < partial.size(); ++i) FUZZ_CHECK(partial[i] == written[i]);
    FUZZ_CHECK(cut.p.fs.hasFile(kDump));
    FUZZ_CHECK(cut.p.text(kLog).find("\tSoftCheck\t") != std::string::npos);
  }
  return 0;
}

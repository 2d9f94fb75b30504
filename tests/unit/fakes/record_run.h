#pragma once
// A run context over the fake platform with the record file and the error
// log already in place, as they stand once the key block is written.
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fakes/wmi_fixture.h"
#include "support/error_log.h"
#include "support/run_context.h"

namespace th::test {

struct RecordRun {
  // The run's private folder, as ClaimWorkingFiles makes it with the fake's first random number.
  static constexpr const char* kWorkingFolder = "C:\\Users\\user\\AppData\\Local\\Temp\\TH-0123456789ABCDEF\\";
  static constexpr const char* kRecordFile = "C:\\Users\\user\\AppData\\Local\\Temp\\TH-0123456789ABCDEF\\WKP1A2B.tmp";
  static constexpr const char* kLogFile = "C:\\Tools\\Inv\\Error.Log";

  FakePlatform p;
  RunContext ctx{p.os};

  RecordRun() {
    ctx.rec.Key = "abc-05-0012";
    ctx.rec.Renewalday = "2026/12/06";
    ctx.recordFilePath = kRecordFile;
    ctx.workingFolder = kWorkingFolder;
    p.fs.addFolder(kWorkingFolder);
    SetLogFile(ctx, kLogFile);
  }

  void load(const std::string& fixture) { LoadWmiFixture(p.wmi, fixture); }

  // The record file as text; every line must end in CR LF.
  std::string records() { return p.text(ctx.recordFilePath); }
  // A record line as written for this run: Key, the five fields, Renewalday.
  static std::string line(const std::string& fields) { return "abc-05-0012," + fields + ",2026/12/06\r\n"; }
  static std::string lines(const std::vector<std::string>& fields) {
    std::string out;
    for (const auto& f : fields) out += line(f);
    return out;
  }

  // The procedure name of every Error.Log entry, in order.
  std::vector<std::string> loggedProcedures() { return column(2); }
  std::vector<std::string> loggedDescriptions() { return column(10); }

 private:
  std::vector<std::string> column(std::size_t index) {
    std::vector<std::string> out;
    const std::string log = p.text(kLogFile);
    std::size_t start = 0;
    for (auto end = log.find("\r\n"); end != std::string::npos; start = end + 2, end = log.find("\r\n", start)) {
      const std::string entry = log.substr(start, end - start);
      std::vector<std::string> cells;
      std::size_t from = 0;
      for (auto tab = entry.find('\t'); ; tab = entry.find('\t', from)) {
        cells.push_back(entry.substr(from, tab == std::string::npos ? tab : tab - from));
        if (tab == std::string::npos) break;
        from = tab + 1;
      }
      out.push_back(cells.size() > index ? cells[index] : "<short entry>");
    }
    return out;
  }
};

}  // namespace th::test

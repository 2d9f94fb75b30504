// Peak memory of SoftCheck on one generated dump, in a process of its own:
//   softcheck_peak ENTRIES
// prints one JSON line: the process's peak resident size (VmHWM) once the
// dump is written and again after SoftCheck has read it, and the records made.
// Not ru_maxrss: that keeps the peak of the image before exec, which for a
// child of a large process (the Python driver) hides everything after.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_platform.h"
#include "collect/software.h"
#include "dump_maker.h"
#include "support/error_log.h"
#include "support/run_context.h"

namespace {

long PeakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: softcheck_peak ENTRIES\n");
    return 2;
  }
  const int entries = std::atoi(argv[1]);
  th::bench::ScratchFolder scratch;
  th::bench::BenchPlatform p(scratch.path());
  const std::string dump = "C:\\bench\\SAVE\\TH_reg.TxT";
  th::bench::WriteDump(p.codePage, p.fs.hostPath(dump), entries);
  const long dumpBytes = static_cast<long>(p.fs.fileLength(dump));

  th::RunContext ctx(p.os);
  th::SetLogFile(ctx, "C:\\bench\\Error.Log");
  ctx.recordFilePath = "C:\\bench\\WKP1.tmp";
  ctx.rec.Key = "abc-05-0012";
  ctx.rec.Renewalday = "2026/12/06";

  const long before = PeakKiB();
  th::SoftCheck(ctx, dump);
  const long after = PeakKiB();

  std::ifstream in(p.fs.hostPath(ctx.recordFilePath), std::ios::binary);
  long records = 0;
  for (std::string line; std::getline(in, line);) ++records;
  std::printf("{\"entries\": %d, \"dump_bytes\": %ld, \"records\": %ld, \"peak_before_kib\": %ld, \"peak_after_kib\": %ld}\n",
              entries, dumpBytes, records, before, after);
  return 0;
}

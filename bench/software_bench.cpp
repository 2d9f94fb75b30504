// SoftCheck on generated registry dumps of growing size, streamed from disk
// with one open/append/close of the record file per application, as on
// Windows. The figure of interest is the time per entry at each size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench_platform.h"
#include "collect/software.h"
#include "dump_maker.h"
#include "support/error_log.h"
#include "support/run_context.h"

namespace th::bench {
namespace {

const std::string kDump = "C:\\bench\\SAVE\\TH_reg.TxT";
const std::string kRecords = "C:\\bench\\WKP1.tmp";

struct Dumps {
  ScratchFolder scratch;
  BenchPlatform platform{scratch.path()};
  std::map<int, std::string> masters;  // entries -> host path of the generated dump
};
Dumps* g_dumps = nullptr;

long CountLines(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  long lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

void BM_SoftCheck(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  BenchPlatform& p = g_dumps->platform;
  const std::string master = g_dumps->masters.at(entries);
  const std::string dump = p.fs.hostPath(kDump);
  const std::string records = p.fs.hostPath(kRecords);

  RunContext ctx(p.os);
  SetLogFile(ctx, "C:\\bench\\Error.Log");
  ctx.recordFilePath = kRecords;
  ctx.rec.Key = "abc-05-0012";
  ctx.rec.Renewalday = "2026/12/06";
  for (auto _ : state) {
    // SoftCheck deletes the dump it has read: each pass gets a fresh link
    // to the generated file, and a fresh record file.
    state.PauseTiming();
    ::unlink(records.c_str());
    if (::link(master.c_str(), dump.c_str()) != 0) {
      state.SkipWithError("cannot link the dump");
      break;
    }
    state.ResumeTiming();
    SoftCheck(ctx, kDump);
  }
  if (p.fs.fileExists(kDump)) state.SkipWithError("SoftCheck left the dump behind");
  if (p.fs.fileExists("C:\\bench\\Error.Log")) state.SkipWithError("SoftCheck logged an error");
  state.SetItemsProcessed(state.iterations() * entries);
  state.counters["entries"] = entries;
  state.counters["records"] = static_cast<double>(CountLines(records));
  // Seconds per entry; the report shows it with an SI prefix (u = microseconds).
  state.counters["per_entry"] =
      benchmark::Counter(entries, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace
}  // namespace th::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  th::bench::Dumps dumps;
  th::bench::g_dumps = &dumps;
  for (int entries : {1000, 10000, 100000}) {
    const std::string path = dumps.scratch.path() + "/dump-" + std::to_string(entries) + ".txt";
    th::bench::WriteDump(dumps.platform.codePage, path, entries);
    dumps.masters[entries] = path;
  }
  benchmark::RegisterBenchmark("SoftCheck", th::bench::BM_SoftCheck)
      ->Arg(1000)
      ->Arg(10000)
      ->Arg(100000)
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// The program's own work in the collection stage that the floor does not
// do, timed part by part with the program's real code:
//   collect_parts [RECORDS]
// writes RECORDS records (default 100) to a temporary file the way every
// record is written (open, append, close), shows and closes the collection
// notice, opens WMI connections, and runs the Windows 11 facts' collector
// (its calls and its records) a few times; prints one JSON line of
// milliseconds and deletes its files.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "collect/platform_facts.h"
#include "collect/record_file.h"
#include "platform/win32/win_platform.h"
#include "platform/win32/win_ui.h"
#include "stopwatch.h"
#include "support/run_context.h"

using bench::NowMs;

int wmain(int argc, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int records = argc > 1 ? _wtoi(argv[1]) : 100;

  th::win32::WinServices services;
  th::win32::WinFileSystem& fs = services.fs;
  th::win32::WinUi ui;
  th::platform::Platform os = services.with(ui);
  th::RunContext ctx(os);

  ctx.recordFilePath = fs.createTempFile(fs.tempFolder(), "WKB");
  ctx.rec = {"abc-05-0012", "Hard", "メモリ", "全容量", "16777216", "KB", "2026/12/06"};
  double t = NowMs();
  for (int i = 0; i < records; ++i) th::SaveTextSet(ctx);
  const double recordMs = (NowMs() - t) / records;
  const long long written = fs.fileLength(ctx.recordFilePath);
  static_cast<void>(fs.removeFile(ctx.recordFilePath));  // a scratch file left behind harms no figure

  // GetPlatform as the program runs it, into a record file of its own each time: the median of nine.
  std::vector<double> platformRuns;
  int platformLines = 0;
  for (int i = 0; i < 9; ++i) {
    ctx.recordFilePath = fs.createTempFile(fs.tempFolder(), "WKB");
    t = NowMs();
    th::GetPlatform(ctx);
    platformRuns.push_back(NowMs() - t);
    platformLines = 0;
    auto lines = fs.openLines(ctx.recordFilePath);
    if (lines.value) {
      for (std::string line; lines.value->next(line);) ++platformLines;
    }
    lines.value.reset();
    static_cast<void>(fs.removeFile(ctx.recordFilePath));
  }
  std::sort(platformRuns.begin(), platformRuns.end());
  const double platformMs = platformRuns[platformRuns.size() / 2];

  // The program shows its entry form first, so window classes, fonts and
  // the display connection are ready when the notice comes: warm them up
  // with one notice, then time the next.
  ui.showNotice(th::platform::kNoticeCollecting);
  ui.pumpMessages();
  ui.closeNotice();
  t = NowMs();
  ui.showNotice(th::platform::kNoticeCollecting);
  ui.pumpMessages();
  const double noticeMs = NowMs() - t;
  ui.closeNotice();

  t = NowMs();
  auto first = services.wmi.connect("winmgmts:\\\\.\\root\\cimv2");
  const double firstConnectMs = NowMs() - t;
  t = NowMs();
  constexpr int kAgain = 5;
  for (int i = 0; i < kAgain; ++i) services.wmi.connect("winmgmts:\\\\.\\root\\cimv2");
  const double againMs = (NowMs() - t) / kAgain;

  std::printf("{\"records\": %d, \"record_ms\": %.4f, \"record_bytes\": %lld, \"notice_ms\": %.3f, "
              "\"first_connect_ms\": %.3f, \"connect_again_ms\": %.3f, \"platform_ms\": %.3f, "
              "\"platform_records\": %d}\n",
              records, recordMs, written, noticeMs, firstConnectMs, againMs, platformMs, platformLines);
  std::fflush(stdout);
  ExitProcess(0);
}

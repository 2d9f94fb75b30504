// Shows one of the program's forms through its real window code, without a
// run around it: for working on the forms by hand and for screenshots.
//   form_preview entry [result-file]   the entry form; its result is written out
//   form_preview notice <mode> [ms]    a notice, modal, or modeless for ms
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "platform/win32/entry_form_view.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/notice_form_view.h"
#include "platform/win32/unicode.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring what = argc > 1 ? argv[1] : L"entry";
  if (what == L"entry") {
    const th::platform::EntryResult r = th::win32::ShowEntryForm();
    const std::string line = "kanriNo=" + r.kanriNo + "\nsei=" + r.sei + "\nmei=" + r.mei +
                             "\nentryFlg=" + (r.entryFlg ? "true" : "false") + "\n";
    if (argc > 2) {
      FILE* f = _wfopen(argv[2], L"wb");
      if (f) {
        fwrite(line.data(), 1, line.size(), f);
        fclose(f);
      }
    }
    fwrite(line.data(), 1, line.size(), stdout);
    return 0;
  }
  const int mode = argc > 2 ? _wtoi(argv[2]) : 8;
  if (argc > 3) {
    th::win32::NoticeForm notice(mode);
    notice.ShowModeless();
    const DWORD end = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3]));
    while (GetTickCount() < end) {
      th::win32::PumpPendingMessages();
      Sleep(50);
    }
    return 0;
  }
  th::win32::ShowMsgForm(mode);
  std::puts("closed");
  return 0;
}

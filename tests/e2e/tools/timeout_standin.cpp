// Stand-in for Windows' `timeout` command, which Wine 8 lacks:
// `timeout /T n [/NOBREAK]` waits n seconds and exits 0. Keys are never read,
// so /NOBREAK only needs to be accepted.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>

namespace {

bool is_option(const wchar_t* arg, const wchar_t* name) {
  return (arg[0] == L'/' || arg[0] == L'-') && _wcsicmp(arg + 1, name) == 0;
}

int usage() {
  std::fwprintf(stderr, L"ERROR: Invalid syntax. Usage: TIMEOUT /T timeout [/NOBREAK]\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  long seconds = -2;
  for (int i = 1; i < argc; ++i) {
    if (is_option(argv[i], L"NOBREAK")) continue;
    if (is_option(argv[i], L"T") && i + 1 < argc) {
      wchar_t* end = nullptr;
      seconds = std::wcstol(argv[++i], &end, 10);
      if (*end) return usage();
      continue;
    }
    return usage();
  }
  if (seconds < -1 || seconds > 99999) return usage();
  Sleep(seconds == -1 ? INFINITE : static_cast<DWORD>(seconds) * 1000);
  return 0;
}

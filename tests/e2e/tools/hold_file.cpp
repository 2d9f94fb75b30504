// Holds one file open, as another program would, until told to let go:
//   hold_file PATH none|read   [READY_FILE]
// "none" opens PATH for reading and writing and shares nothing (a program
// that locks its document); "read" opens it for reading and shares reading,
// writing and deleting (a viewer). Creates READY_FILE once the file is open,
// then waits until READY_FILE is deleted (or 10 minutes pass).
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fwprintf(stderr, L"usage: hold_file PATH none|read READY_FILE\n");
    return 2;
  }
  const std::wstring mode = argv[2];
  const bool exclusive = mode == L"none";
  if (!exclusive && mode != L"read") return 2;
  const HANDLE h = CreateFileW(argv[1], exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                               exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::fwprintf(stderr, L"hold_file: cannot open %ls: %lu\n", argv[1], GetLastError());
    return 1;
  }
  const HANDLE ready = CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(ready);
  for (int i = 0; i < 6000 && GetFileAttributesW(argv[3]) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  CloseHandle(h);
  return 0;
}

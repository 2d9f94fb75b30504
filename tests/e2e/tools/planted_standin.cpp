// Stands in for a program someone planted beside tallyhawk.exe under the
// name of a system command (cmd.exe, reg.exe, ...): it only leaves a marker,
// <its own path>.ran, to show that it was run, and exits 0.
#include <windows.h>

#include <string>

int wmain() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return 1;
  path.resize(n);
  path += L".ran";
  const HANDLE marker = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return 0;
}

#pragma once
// Shared by the stand-ins for tools that Wine lacks or only stubs. They act
// out what the real tools do for the program's batch files and write every
// call, one UTF-8 line each, to C:\windows\temp\standin-calls.log so that a
// test can see what ran, in which order and from which folder.
#include <windows.h>

#include <string>

namespace standin {

inline std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

inline std::wstring TempFolder() {
  wchar_t windir[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(windir, MAX_PATH);
  return std::wstring(windir, n) + L"\\temp\\";
}

inline std::wstring SystemFolder() {
  wchar_t sys[MAX_PATH];
  const UINT n = GetSystemDirectoryW(sys, MAX_PATH);
  return std::wstring(sys, n);
}

// The command line without the program's own name.
inline std::wstring Arguments() {
  const wchar_t* p = GetCommandLineW();
  bool quoted = false;
  while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
    if (*p == L'"') quoted = !quoted;
    ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

inline void LogCall(const std::wstring& tool, const std::wstring& detail) {
  wchar_t cwd[MAX_PATH];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, cwd);
  const std::string line =
      Utf8(tool) + "\t" + Utf8(std::wstring(cwd, n)) + "\t" + Utf8(Arguments()) + "\t" + Utf8(detail) + "\r\n";
  const HANDLE h = CreateFileW((TempFolder() + L"standin-calls.log").c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(h);
}

// Starts a command line in a folder without waiting for it, as the task
// service and an elevated start do. False when it cannot start.
inline bool StartDetached(std::wstring commandLine, const std::wstring& folder) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWMINNOACTIVE;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      folder.c_str(), &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace standin

// schtasks for the e2e prefix: Wine's own refuses /create and ignores /run.
// Supports the one-off task the program's batch uses: /create /tn NAME /tr
// COMMAND (the rest ignored), /run /tn NAME (starts COMMAND at once, from
// System32 as the task service would, without waiting), /delete /tn NAME.
// A task lives as C:\windows\temp\standin-task-NAME.txt holding COMMAND.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "standin_common.h"

namespace {

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(towlower(c));
  return s;
}

std::wstring TaskFile(const std::wstring& name) { return standin::TempFolder() + L"standin-task-" + name + L".txt"; }

int Fail(const std::wstring& why) {
  standin::LogCall(L"schtasks", L"error: " + why);
  std::fwprintf(stderr, L"ERROR: %ls\n", why.c_str());
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring verb, name, command;
  bool hasCommand = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = Lower(argv[i]);
    if (a == L"/create" || a == L"/run" || a == L"/delete") verb = a;
    else if (a == L"/tn" && i + 1 < argc) name = argv[++i];
    else if (a == L"/tr" && i + 1 < argc) {
      command = argv[++i];
      hasCommand = true;
    }
  }
  if (name.empty()) return Fail(L"no task name");

  if (verb == L"/create") {
    if (!hasCommand || command.empty()) return Fail(L"no /tr");
    const HANDLE h = CreateFileW(TaskFile(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail(L"cannot store the task");
    DWORD written = 0;
    WriteFile(h, command.data(), static_cast<DWORD>(command.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(h);
    standin::LogCall(L"schtasks", L"created");
    return 0;
  }
  if (verb == L"/run") {
    const HANDLE h = CreateFileW(TaskFile(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail(L"no such task");
    std::vector<wchar_t> buf(32768);
    DWORD got = 0;
    ReadFile(h, buf.data(), static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t)), &got, nullptr);
    CloseHandle(h);
    const std::wstring stored(buf.data(), got / sizeof(wchar_t));
    // The task's action is the stored path; a batch file runs through cmd.
    if (!standin::StartDetached(L"cmd.exe /c \"\"" + stored + L"\"\"", standin::SystemFolder())) {
      return Fail(L"cannot start " + stored);
    }
    standin::LogCall(L"schtasks", L"started " + stored);
    return 0;
  }
  if (verb == L"/delete") {
    if (!DeleteFileW(TaskFile(name).c_str())) return Fail(L"no such task");
    standin::LogCall(L"schtasks", L"deleted");
    return 0;
  }
  return Fail(L"unsupported");
}

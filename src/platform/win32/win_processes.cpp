#include "platform/win32/win_processes.h"

#include <windows.h>

#include "platform/win32/message_pump.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

class WinProcess : public platform::RunningProcess {
 public:
  explicit WinProcess(ScopedHandle process) : process_(std::move(process)) {}

  void waitPumping() override {
    const HANDLE h = process_.get();
    while (true) {
      const DWORD r = MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_ALLINPUT);
      if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) return;
      PumpPendingMessages();
    }
  }

 private:
  ScopedHandle process_;
};

// A Windows folder (GetSystemDirectoryW or GetSystemWindowsDirectoryW) without its trailing "\".
template <class Query>
std::wstring WindowsFolder(Query query) {
  wchar_t folder[MAX_PATH];
  const UINT n = query(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) ThrowLastError();
  std::wstring w(folder, n);
  if (w.back() == L'\\') w.pop_back();
  return w;
}

// The folder of the system's own commands as the machine is: for a 32-bit
// process on 64-bit Windows, System32 is redirected to the 32-bit SysWOW64,
// whose reg reads the registry's 32-bit view; Sysnative names the real one.
std::wstring NativeSystemFolder() {
  BOOL wow64 = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
    return WindowsFolder(GetSystemWindowsDirectoryW) + L"\\Sysnative";
  }
  return WindowsFolder(GetSystemDirectoryW);
}

// The system's own executable: a bare name on a command line would be looked
// for beside the program first, where anyone with write access to the share
// can put a file of that name.
std::wstring ProgramPath(platform::SystemProgram program) {
  // The system's Windows folder: on a terminal server GetWindowsDirectoryW
  // may give a per-user one, which holds no explorer.exe.
  if (program == platform::SystemProgram::kExplorer) {
    return WindowsFolder(GetSystemWindowsDirectoryW) + L"\\explorer.exe";
  }
  return NativeSystemFolder() + L"\\cmd.exe";
}

}  // namespace

std::unique_ptr<platform::RunningProcess> WinProcesses::start(platform::SystemProgram program,
                                                              const std::string& commandLine,
                                                              platform::ShowWindow show,
                                                              const std::string& currentFolder) {
  const std::wstring application = ProgramPath(program);
  const std::wstring folder = currentFolder.empty() ? WindowsFolder(GetSystemDirectoryW) : Wide(currentFolder);
  // Inherited by cmd and what it starts: a command's bare name is then looked
  // up on the PATH only, never in the current folder.
  SetEnvironmentVariableW(L"NoDefaultCurrentDirectoryInExePath", L"1");
  std::wstring cmd = Wide(commandLine);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(application.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                      &pi)) {
    ThrowLastError();
  }
  const ScopedHandle thread(pi.hThread);
  return std::make_unique<WinProcess>(ScopedHandle(pi.hProcess));
}

}  // namespace th::win32

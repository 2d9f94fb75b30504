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

}  // namespace

std::unique_ptr<platform::RunningProcess> WinProcesses::start(const std::string& commandLine, platform::ShowWindow show) {
  std::wstring cmd = Wide(commandLine);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ThrowLastError();
  }
  const ScopedHandle thread(pi.hThread);
  return std::make_unique<WinProcess>(ScopedHandle(pi.hProcess));
}

}  // namespace th::win32

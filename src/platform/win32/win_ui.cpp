#include "platform/win32/win_ui.h"

#include <windows.h>

#include "platform/win32/message_pump.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

bool WinUi::claimSingleInstance() {
  // Per logged-on session: a second start by the same user ends at once.
  instanceMutex_ = ScopedHandle(CreateMutexW(nullptr, FALSE, L"Local\\TallyhawkClient.SingleInstance"));
  return instanceMutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

void WinUi::messageBox(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

void WinUi::pumpMessages() { PumpPendingMessages(); }

// Not built yet: the entry form reads as closed without an entry.
platform::EntryResult WinUi::showEntryForm() { return {}; }
void WinUi::showNotice(int) {}
void WinUi::closeNotice() {}
void WinUi::showNoticeModal(int) {}

}  // namespace th::win32

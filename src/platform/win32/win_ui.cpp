#include "platform/win32/win_ui.h"

#include <windows.h>

#include "platform/win32/entry_form_view.h"
#include "platform/win32/form_view_common.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

// A user who starts the program again mostly could not see it was running:
// show them the window the running one has up (a box it has open in front
// of that window included).
void BringRunningInstanceToFront() {
  HWND form = FindRunningForm();
  if (!form) return;
  HWND target = GetLastActivePopup(form);
  if (IsIconic(target)) ShowWindow(target, SW_RESTORE);
  SetForegroundWindow(target);
}

}  // namespace

bool WinUi::claimSingleInstance() {
  // Per logged-on session: a second start by the same user ends at once.
  instanceMutex_ = ScopedHandle(CreateMutexW(nullptr, FALSE, L"Local\\TallyhawkClient.SingleInstance"));
  const bool first = instanceMutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
  if (!first) BringRunningInstanceToFront();
  return first;
}

void WinUi::messageBox(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

void WinUi::pumpMessages() { PumpPendingMessages(); }

platform::EntryResult WinUi::showEntryForm() { return ShowEntryForm(); }

void WinUi::showNotice(int mode) {
  notice_.reset();
  notice_ = std::make_unique<NoticeForm>(mode);
  notice_->ShowModeless();
}

void WinUi::setNoticeProgress(double filled) {
  if (notice_) notice_->SetProgress(filled);
}

void WinUi::closeNotice() { notice_.reset(); }

void WinUi::showNoticeModal(int mode) { ShowMsgForm(mode); }

}  // namespace th::win32

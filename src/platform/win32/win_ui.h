#pragma once
#include <memory>

#include "platform/ui.h"
#include "platform/win32/notice_form_view.h"
#include "platform/win32/scoped_handle.h"

namespace th::win32 {

class WinUi : public platform::Ui {
 public:
  bool claimSingleInstance() override;
  void messageBox(const std::string& title, const std::string& text) override;
  void pumpMessages() override;
  platform::EntryResult showEntryForm() override;
  void showNotice(int mode) override;
  void setNoticeProgress(double filled) override;
  void closeNotice() override;
  void showNoticeModal(int mode) override;

 private:
  ScopedHandle instanceMutex_;
  std::unique_ptr<NoticeForm> notice_;  // the modeless notice: preparing, then collecting
};

}  // namespace th::win32

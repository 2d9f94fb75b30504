#pragma once
// The Win32 window of fMsg.
#include <memory>

namespace th::win32 {

class NoticeFormView;

// One notice window, loaded for a mode when it is made; it goes with its owner.
class NoticeForm {
 public:
  explicit NoticeForm(int mode);
  ~NoticeForm();
  NoticeForm(const NoticeForm&) = delete;
  NoticeForm& operator=(const NoticeForm&) = delete;

  // Shows it and returns at once; it is painted whenever events are let run.
  void ShowModeless();
  // Fills its bar (0 to 1), when it has one.
  void SetProgress(double filled);
  // Shows it and returns when the user closed it.
  void ShowModal();

 private:
  std::unique_ptr<NoticeFormView> view_;
};

// ShowMsgForm: a fresh notice for the mode, shown modally, then discarded.
void ShowMsgForm(int mode);

}  // namespace th::win32

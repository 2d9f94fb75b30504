#pragma once
// User-interface seam: the program's message boxes, its two forms and the
// single-instance guard. The forms' logic lives in src/forms; the views that
// implement this interface draw them.
#include <string>

namespace th::platform {

// What the entry form hands back when its modal display ends. After any way
// of closing other than OK the values are those of an empty form.
// fMsg's MsgMode: the notices the run shows.
enum NoticeMode : int {
  kNoticeCollecting = 1,  // "データ収集中です。" while the collectors run
  kNoticePreparing = 2,   // during the fixed waits before the entry form, with a bar
  kNoticeSaveFailed = 7,
  kNoticeSaved = 8,
};

struct EntryResult {
  std::string kanriNo;  // f_Kanri_No
  std::string sei;      // f_User_nm_Sei
  std::string mei;      // f_User_nm_Mei
  bool entryFlg = false;  // m_EntryFlg
};

class Ui {
 public:
  virtual ~Ui() = default;
  // True when this is the only running instance; holds the claim for the
  // rest of the process.
  virtual bool claimSingleInstance() = 0;
  // A message box with an OK button and no icon.
  virtual void messageBox(const std::string& title, const std::string& text) = 0;
  // Lets pending window events run once.
  virtual void pumpMessages() = 0;

  virtual EntryResult showEntryForm() = 0;  // modal
  virtual void showNotice(int mode) = 0;  // modeless: the preparing and the collecting notice
  // Fills the modeless notice's bar to `filled` (0 to 1); a notice without a
  // bar ignores it.
  virtual void setNoticeProgress(double filled) = 0;
  virtual void closeNotice() = 0;
  virtual void showNoticeModal(int mode) = 0;  // ShowMsgForm
};

}  // namespace th::platform

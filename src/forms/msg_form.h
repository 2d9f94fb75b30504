#pragma once
// fMsg: the notice window, as a model. A caller sets MsgMode, then the
// window code loads it: the mode picks title and text from the notice table
// and the form is sized around its text, then centred.
#include <functional>
#include <string>

#include "forms/form_helpers.h"
#include "platform/ui.h"

namespace th::forms {

constexpr const char* kMsgDesignCaption = "ファイル保存";
constexpr const char* kMsgFontName = "ＭＳ Ｐゴシック";
constexpr double kMsgFontPoints = 11.25;
constexpr const char* kMsgOkCaption = "OK";

struct Notice {
  std::string title;
  std::string text;
  bool okVisible = true;
  bool progressBar = false;  // a bar in the button's row, filled as a wait goes on
};

// The notice table; a mode outside it keeps the design caption, an empty
// text and the OK button.
Notice NoticeFor(int mode);

class fMsg {
 public:
  // Twips size of lbl_cmt once it has sized itself to a caption.
  using MeasureLabel = std::function<FormRect(const std::string& caption)>;

  void SetMsgMode(int mode) { msgMode_ = mode; }

  // Loading: SetMsgText, then centring on the screen.
  void Load(const MeasureLabel& measure, ScreenTwips screen);
  // Title, text and OK button from the table, and the form sized around the
  // label: 2 x label left + label width wide, 4 x label top + label height +
  // button height high, the button right-aligned under the text.
  void SetMsgText(const MeasureLabel& measure);

  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }
  bool OkVisible() const { return okVisible_; }
  bool ProgressVisible() const { return progressVisible_; }
  const FormRect& Form() const { return form_; }  // outer size and position
  const FormRect& Label() const { return label_; }
  const FormRect& OkButton() const { return ok_; }
  // Under the text and as wide as it, where the button's row is.
  const FormRect& ProgressBar() const { return progress_; }

 private:
  int msgMode_ = 0;
  std::string caption_ = kMsgDesignCaption;
  std::string text_;
  bool okVisible_ = true;
  bool progressVisible_ = false;
  FormRect form_;
  FormRect label_{360, 360, 0, 0};
  FormRect ok_{0, 0, 1215, 375};
  FormRect progress_{0, 0, 0, 240};
};

}  // namespace th::forms

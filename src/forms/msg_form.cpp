#include "forms/msg_form.h"

namespace th::forms {

Notice NoticeFor(int mode) {
  switch (mode) {
    case platform::kNoticeCollecting: return {"インベントリ収集", "データ収集中です。", false};
    case platform::kNoticePreparing:
      return {"インベントリ収集", "準備しています。しばらくお待ちください。", false, true};
    case platform::kNoticeSaveFailed: return {"データ保存", "データ保存に失敗しました。", true};
    case platform::kNoticeSaved: return {"データ保存", "データ保存が正常に終了しました。", true};
    default: return {kMsgDesignCaption, "", true};
  }
}

void fMsg::SetMsgText(const MeasureLabel& measure) {
  const Notice n = NoticeFor(msgMode_);
  caption_ = n.title;
  text_ = n.text;
  okVisible_ = n.okVisible;
  progressVisible_ = n.progressBar;

  const FormRect measured = measure(text_);
  label_.Width = measured.Width;
  label_.Height = measured.Height;

  // The hidden button of mode 1 still counts: the height leaves room for it.
  form_.Width = 2 * label_.Left + label_.Width;
  form_.Height = 4 * label_.Top + label_.Height + ok_.Height;
  ok_.Left = form_.Width - ok_.Width - label_.Left;
  ok_.Top = 2 * label_.Top + label_.Height;
  progress_.Left = label_.Left;
  progress_.Top = ok_.Top;
  progress_.Width = label_.Width;
}

void fMsg::Load(const MeasureLabel& measure, ScreenTwips screen) {
  SetMsgText(measure);
  PlaceForm(form_, screen);
}

}  // namespace th::forms

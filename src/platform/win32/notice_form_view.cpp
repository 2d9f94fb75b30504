#include "platform/win32/notice_form_view.h"

#include <windows.h>
#include <commctrl.h>

#include <cmath>

#include "forms/msg_form.h"
#include "platform/win32/form_resources.h"
#include "platform/win32/form_view_common.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

constexpr int kLabelId = 100;
constexpr int kOkId = IDOK;
constexpr int kProgressId = 101;
constexpr int kProgressRange = 1000;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace

class NoticeFormView : public FormWindow {
 public:
  explicit NoticeFormView(int mode);
  ~NoticeFormView() override { DestroyForm(); }
  void Show();
  void RunUntilClosed() { RunModal(closed_); }
  void SetProgress(double filled);

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  bool PreTranslate(const MSG& msg) override;
  forms::FormRect MeasureLabel(const std::string& caption);

  forms::fMsg model_;
  TwipScale scale_;
  HWND label_ = nullptr, ok_ = nullptr, progress_ = nullptr;
  ScopedGdiObject labelFont_, buttonFont_, tile_, tileBrush_;
  bool closed_ = false;
};

NoticeFormView::NoticeFormView(int mode) {
  scale_ = DisplayScale();
  model_.SetMsgMode(mode);
  CreateForm(forms::kMsgDesignCaption, kStyle, WS_EX_CONTROLPARENT);
  labelFont_ = CreateFormFont(forms::kMsgFontName, forms::kMsgFontPoints, false, scale_);
  buttonFont_ = CreateFormFont(forms::kMsgFontName, 9, false, scale_);
  tile_ = ScopedGdiObject(LoadFormBitmap(IDB_FORM_TILE));
  if (tile_.get()) tileBrush_ = ScopedGdiObject(CreatePatternBrush(static_cast<HBITMAP>(tile_.get())));

  const forms::FormRect& l = model_.Label();
  label_ = AddControl(L"STATIC", "", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, kLabelId,
                      ControlPx(scale_, l.Left, l.Top, 0, 0));
  SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), FALSE);
  const forms::FormRect& b = model_.OkButton();
  ok_ = AddControl(L"BUTTON", forms::kMsgOkCaption, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kOkId,
                   ControlPx(scale_, b.Left, b.Top, b.Width, b.Height));
  SendMessageW(ok_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);

  // Loading: the text picks the size, then the form is centred.
  model_.Load([this](const std::string& caption) { return MeasureLabel(caption); }, ScreenSize(scale_));
  SetWindowTextW(hwnd_, Wide(model_.Caption()).c_str());
  SetWindowTextW(label_, Wide(model_.Text()).c_str());
  const forms::FormRect& sized = model_.Label();
  const RECT lp = ControlPx(scale_, sized.Left, sized.Top, sized.Width, sized.Height);
  MoveWindow(label_, lp.left, lp.top, lp.right - lp.left, lp.bottom - lp.top, FALSE);
  const forms::FormRect& placed = model_.OkButton();
  const RECT bp = ControlPx(scale_, placed.Left, placed.Top, placed.Width, placed.Height);
  MoveWindow(ok_, bp.left, bp.top, bp.right - bp.left, bp.bottom - bp.top, FALSE);
  if (!model_.OkVisible()) ShowWindow(ok_, SW_HIDE);
  if (model_.ProgressVisible()) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const forms::FormRect& bar = model_.ProgressBar();
    progress_ = AddControl(PROGRESS_CLASSW, "", WS_VISIBLE, 0, kProgressId,
                           ControlPx(scale_, bar.Left, bar.Top, bar.Width, bar.Height));
    SendMessageW(progress_, PBM_SETRANGE32, 0, kProgressRange);
  }
  MoveFormTo(hwnd_, model_.Form(), scale_);
  PumpPendingMessages();
}

forms::FormRect NoticeFormView::MeasureLabel(const std::string& caption) {
  // An auto-sizing label: exactly as large as its text in its font.
  const std::wstring text = Wide(caption);
  RECT r{0, 0, 0, 0};
  const ScopedGetDc dc(label_);
  const ScopedSelectObject font(dc.get(), labelFont_.get());
  DrawTextW(dc.get(), text.empty() ? L" " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (text.empty()) r.right = 0;
  return {0, 0, static_cast<float>(scale_.TwipsX(r.right - r.left)), static_cast<float>(scale_.TwipsY(r.bottom - r.top))};
}

void NoticeFormView::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  if (model_.OkVisible()) SetFocus(ok_);
  UpdateWindow(hwnd_);
}

void NoticeFormView::SetProgress(double filled) {
  if (!progress_) return;
  const double clamped = filled < 0 ? 0 : (filled > 1 ? 1 : filled);
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(std::lround(clamped * kProgressRange)), 0);
}

LRESULT NoticeFormView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      PaintFormBackground(reinterpret_cast<HDC>(wp), hwnd_, static_cast<HBRUSH>(tileBrush_.get()), nullptr, {});
      return 1;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_COMMAND:
      if (LOWORD(wp) == kOkId && HIWORD(wp) == BN_CLICKED) closed_ = true;
      return 0;
    case WM_CLOSE:
      // Without its OK button the notice stays until the program closes it.
      if (model_.OkVisible()) closed_ = true;
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

bool NoticeFormView::PreTranslate(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && (msg.hwnd == ok_ || msg.hwnd == hwnd_) &&
      model_.OkVisible()) {
    closed_ = true;
    return true;
  }
  return false;
}

NoticeForm::NoticeForm(int mode) : view_(std::make_unique<NoticeFormView>(mode)) {}
NoticeForm::~NoticeForm() = default;

void NoticeForm::ShowModeless() {
  view_->Show();
  PumpPendingMessages();
}

void NoticeForm::SetProgress(double filled) { view_->SetProgress(filled); }

void NoticeForm::ShowModal() {
  view_->Show();
  view_->RunUntilClosed();
}

void ShowMsgForm(int mode) {
  NoticeForm form(mode);
  form.ShowModal();
}

}  // namespace th::win32

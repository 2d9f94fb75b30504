#include "platform/win32/entry_form_view.h"

#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <array>
#include <vector>

#include "forms/form_helpers.h"
#include "forms/manual_input.h"
#include "platform/win32/form_resources.h"
#include "platform/win32/form_view_common.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

using forms::ControlType;
using forms::EntryControl;
using forms::Field;

constexpr int kIdBase = 1000;
constexpr UINT_PTR kBoxSubclass = 1;
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

int IdOf(EntryControl c) { return kIdBase + static_cast<int>(c); }

std::string WindowText(HWND h) {
  std::wstring w(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  w.resize(static_cast<std::size_t>(GetWindowTextW(h, w.data(), static_cast<int>(w.size()))));
  return Utf8(w);
}

class EntryFormView : public FormWindow {
 public:
  ~EntryFormView() override { DestroyForm(); }
  platform::EntryResult Run();

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;
  bool PreTranslate(const MSG& msg) override;
  static LRESULT CALLBACK BoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self);
  LRESULT OnBox(HWND box, Field field, UINT msg, WPARAM wp, LPARAM lp);

  void Load();
  void Build();
  void ShowState();
  void OnCommand(int id, int code, HWND control);
  void Entry();
  void Navigate(bool backwards);
  HWND Control(EntryControl c) const { return controls_[static_cast<std::size_t>(c)]; }
  HWND Box(Field f) const { return Control(forms::ControlOf(f)); }
  bool IsBox(HWND h, Field& field) const;
  bool IsButton(HWND h) const;
  bool WithinForm(HWND h) const { return h && (h == hwnd_ || IsChild(hwnd_, h)); }

  forms::fManualInput model_;
  TwipScale scale_;
  std::array<HWND, 18> controls_{};
  std::vector<HWND> tabOrder_;
  ScopedGdiObject formFont_, textFont_, buttonFont_, versionFont_, tile_, title_, tileBrush_;
  RECT titlePx_{};
  bool done_ = false;
};

void EntryFormView::Build() {
  scale_ = DisplayScale();
  CreateForm(forms::kEntryCaption, kFormStyle, kFormExStyle);
  formFont_ = CreateFormFont(forms::kEntryFontName, forms::kEntryFormFontPoints, false, scale_);
  textFont_ = CreateFormFont(forms::kEntryFontName, 18, false, scale_);
  buttonFont_ = CreateFormFont(forms::kEntryFontName, 24, false, scale_);
  versionFont_ = CreateFormFont(forms::kEntryFontName, 12, true, scale_);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
  tile_ = ScopedGdiObject(LoadFormBitmap(IDB_FORM_TILE));
  title_ = ScopedGdiObject(LoadFormBitmap(IDB_FORM_TITLE));
  if (tile_.get()) tileBrush_ = ScopedGdiObject(CreatePatternBrush(static_cast<HBITMAP>(tile_.get())));

  std::vector<std::pair<int, HWND>> tabs;
  for (const forms::ControlLayout& c : forms::EntryFormLayout()) {
    const RECT px = ControlPx(scale_, c.left, c.top, c.width, c.height);
    const DWORD visible = c.visibleAtStart ? WS_VISIBLE : 0;
    HWND h = nullptr;
    HGDIOBJ font = textFont_.get();
    switch (c.type) {
      case ControlType::Picture:
        if (c.id == EntryControl::imgTitle) titlePx_ = px;
        continue;  // painted with the background
      case ControlType::Label:
        h = AddControl(L"STATIC", c.caption, visible | SS_LEFT | SS_NOPREFIX, 0, IdOf(c.id), px);
        if (c.id == EntryControl::lbl_f_Version) font = versionFont_.get();
        break;
      case ControlType::TextBox:
        h = AddControl(L"EDIT", c.caption, visible | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                       IdOf(c.id), px);
        SendMessageW(h, EM_LIMITTEXT, static_cast<WPARAM>(c.maxLength), 0);
        if (c.ime == forms::ImeMode::Disabled) ImmAssociateContext(h, nullptr);
        SetWindowSubclass(h, &EntryFormView::BoxProc, kBoxSubclass, reinterpret_cast<DWORD_PTR>(this));
        break;
      case ControlType::Button:
        h = AddControl(L"BUTTON", c.caption, visible | WS_TABSTOP | BS_PUSHBUTTON, 0, IdOf(c.id), px);
        font = buttonFont_.get();
        break;
    }
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_[static_cast<std::size_t>(c.id)] = h;
    if (c.tabIndex >= 0) tabs.emplace_back(c.tabIndex, h);
  }
  std::sort(tabs.begin(), tabs.end());
  for (const auto& t : tabs) tabOrder_.push_back(t.second);
}

void EntryFormView::Load() {
  // The client area's width is designed; the height is the outer one.
  RECT outer{0, 0, scale_.X(forms::kEntryClientWidth), 0};
  AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  forms::FormRect form{0, 0, static_cast<float>(scale_.TwipsX(outer.right - outer.left)), model_.Height()};
  forms::PlaceForm(form, ScreenSize(scale_));
  MoveFormTo(hwnd_, form, scale_);
  PumpPendingMessages();
  SetFormZOrder(hwnd_);
  SetWindowTextW(Control(EntryControl::lbl_f_Version), Wide(ProgramVersionCaption()).c_str());
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

platform::EntryResult EntryFormView::Run() {
  Build();
  Load();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetFocus(Box(Field::Kanri0));
  RunModal(done_);
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  return {model_.f_Kanri_No(), model_.f_User_nm_Sei(), model_.f_User_nm_Mei(), model_.m_EntryFlg()};
}

void EntryFormView::ShowState() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, scale_.Y(model_.Height()),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int f = 0; f < forms::kFieldCount; ++f) {
    SendMessageW(Box(static_cast<Field>(f)), EM_SETREADONLY, model_.FieldsLocked() ? TRUE : FALSE, 0);
  }
  for (const forms::ControlLayout& c : forms::EntryFormLayout()) {
    HWND h = Control(c.id);
    if (!h) continue;
    const bool want = model_.IsVisible(c.id);
    if ((IsWindowVisible(h) != FALSE) != want) ShowWindow(h, want ? SW_SHOWNA : SW_HIDE);
  }
}

bool EntryFormView::IsBox(HWND h, Field& field) const {
  for (int f = 0; f < forms::kFieldCount; ++f) {
    if (Box(static_cast<Field>(f)) == h) {
      field = static_cast<Field>(f);
      return true;
    }
  }
  return false;
}

bool EntryFormView::IsButton(HWND h) const {
  for (EntryControl c : {EntryControl::cmd_Entry, EntryControl::cmd_End, EntryControl::cmd_OK, EntryControl::cmd_Cancel}) {
    if (Control(c) == h) return true;
  }
  return false;
}

void EntryFormView::Navigate(bool backwards) {
  if (HWND next = NextTabStop(tabOrder_, GetFocus(), backwards)) SetFocus(next);
}

void EntryFormView::Entry() {
  if (const auto failure = model_.cmd_Entry_Click()) {
    MessageBoxW(hwnd_, Wide(failure->message).c_str(), Wide(forms::kEntryCheckTitle).c_str(), MB_OK | MB_ICONSTOP);
    SetFocus(Box(failure->focus));
    return;
  }
  ShowState();
  SetFocus(Control(EntryControl::cmd_OK));
}

void EntryFormView::OnCommand(int id, int code, HWND control) {
  Field field;
  if (IsBox(control, field)) {
    if (code == EN_CHANGE) model_.SetText(field, WindowText(control));
    return;
  }
  if (code != BN_CLICKED) return;
  switch (static_cast<EntryControl>(id - kIdBase)) {
    case EntryControl::cmd_Entry:
      Entry();
      break;
    case EntryControl::cmd_OK:
      model_.cmd_OK_Click();
      ShowWindow(hwnd_, SW_HIDE);
      done_ = model_.Ended();
      break;
    case EntryControl::cmd_Cancel:
      model_.cmd_Cancel_Click();
      ShowState();
      SetFocus(Box(Field::Kanri0));  // the next visible stop after Cancel
      break;
    case EntryControl::cmd_End:
      model_.cmd_End_Click();
      done_ = true;
      break;
    default:
      break;
  }
}

LRESULT EntryFormView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      PaintFormBackground(reinterpret_cast<HDC>(wp), hwnd_, static_cast<HBRUSH>(tileBrush_.get()),
                          static_cast<HBITMAP>(title_.get()), titlePx_);
      return 1;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      Field field;
      if (IsBox(reinterpret_cast<HWND>(lp), field)) {
        // A locked box keeps the look of an editable one.
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_CLOSE:
      model_.Form_Close();
      done_ = true;
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

bool EntryFormView::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_TAB) {
    Navigate(GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  if (msg.wParam == VK_RETURN && IsButton(msg.hwnd)) {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(msg.hwnd));
    return true;
  }
  return false;
}

LRESULT CALLBACK EntryFormView::BoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  auto* view = reinterpret_cast<EntryFormView*>(self);
  Field field;
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(h, &EntryFormView::BoxProc, kBoxSubclass);
  } else if (view->IsBox(h, field)) {
    return view->OnBox(h, field, msg, wp, lp);
  }
  return DefSubclassProc(h, msg, wp, lp);
}

LRESULT EntryFormView::OnBox(HWND box, Field field, UINT msg, WPARAM wp, LPARAM lp) {
  const int index = static_cast<int>(field);
  switch (msg) {
    case WM_CHAR: {
      if (wp == '\r' || wp == '\n') return 0;  // Enter moves on (key-down), it types nothing
      if (index > 2) break;
      std::uint16_t key = static_cast<std::uint16_t>(wp);
      model_.txt_f_Kanri_No_KeyPress(index, key);
      if (key == 0) return 0;
      wp = key;
      break;
    }
    case WM_KEYDOWN: {
      DWORD start = 0, end = 0;
      SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      const forms::FocusedControl focused{forms::ControlKind::TextBox, static_cast<int>(start),
                                          static_cast<int>(end - start), GetWindowTextLengthW(box)};
      std::uint16_t key = static_cast<std::uint16_t>(wp);
      std::uint16_t shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0);
      const forms::FocusMove move = forms::KeyNavigate(key, shift, focused);
      if (key != 0) break;
      if (move != forms::FocusMove::None) Navigate(move == forms::FocusMove::Previous);
      return 0;
    }
    // Padding and selecting belong to moving between the form's controls: a
    // window deactivated and activated again keeps its text and caret, so
    // typing goes on where it stopped.
    case WM_KILLFOCUS: {
      const LRESULT r = DefSubclassProc(box, msg, wp, lp);
      if (index <= 2 && WithinForm(reinterpret_cast<HWND>(wp))) {
        model_.txt_f_Kanri_No_LostFocus(index);
        if (WindowText(box) != model_.Text(field)) SetWindowTextW(box, Wide(model_.Text(field)).c_str());
      }
      return r;
    }
    case WM_SETFOCUS: {
      const LRESULT r = DefSubclassProc(box, msg, wp, lp);
      if (WithinForm(reinterpret_cast<HWND>(wp))) SendMessageW(box, EM_SETSEL, 0, -1);
      if (forms::LayoutOf(forms::ControlOf(field)).ime == forms::ImeMode::Hiragana) ImeOnHiragana(box);
      return r;
    }
    default:
      break;
  }
  return DefSubclassProc(box, msg, wp, lp);
}

}  // namespace

// Only the modes this box needs change: the user's romaji setting (and any
// other bit) stays as the user left it.
void ImeOnHiragana(HWND box) {
  HIMC context = ImmGetContext(box);
  if (!context) return;
  DWORD conversion = 0, sentence = 0;
  ImmGetConversionStatus(context, &conversion, &sentence);
  ImmSetOpenStatus(context, TRUE);
  conversion = (conversion | IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE) & ~static_cast<DWORD>(IME_CMODE_KATAKANA);
  ImmSetConversionStatus(context, conversion, sentence);
  ImmReleaseContext(box, context);
}

platform::EntryResult ShowEntryForm() {
  EntryFormView view;
  return view.Run();
}

}  // namespace th::win32

#include "platform/win32/form_view_common.h"

#include <cmath>

#include "forms/manual_input.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"TallyhawkForm";

// EnumWindows's callback: a named function, since a lambda has the
// default calling convention, which is not CALLBACK's in a 32-bit program.
BOOL CALLBACK TakeRunningForm(HWND h, LPARAM lp) {
  wchar_t cls[64];
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == GetCurrentProcessId() || !IsWindowVisible(h) || !GetClassNameW(h, cls, 64) ||
      lstrcmpW(cls, kFormClass) != 0) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(lp) = h;
  return FALSE;
}

}  // namespace

int TwipScale::X(double twips) const { return static_cast<int>(std::lround(twips * dpiX / 1440.0)); }
int TwipScale::Y(double twips) const { return static_cast<int>(std::lround(twips * dpiY / 1440.0)); }

TwipScale DisplayScale() {
  TwipScale s;
  const ScopedGetDc screen(nullptr);
  if (screen.get()) {
    s.dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    s.dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  if (s.dpiX <= 0) s.dpiX = 96;
  if (s.dpiY <= 0) s.dpiY = 96;
  return s;
}

forms::ScreenTwips ScreenSize(const TwipScale& s) {
  return {s.TwipsX(GetSystemMetrics(SM_CXSCREEN)), s.TwipsY(GetSystemMetrics(SM_CYSCREEN))};
}

RECT ControlPx(const TwipScale& s, double left, double top, double width, double height) {
  const int l = s.X(left), t = s.Y(top);
  return {l, t, l + s.X(width), t + s.Y(height)};
}

ScopedGdiObject CreateFormFont(const char* utf8Face, double points, bool bold, const TwipScale& s) {
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(std::lround(points * s.dpiY / 72.0));
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Wide(utf8Face);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return ScopedGdiObject(CreateFontIndirectW(&lf));
}

HBITMAP LoadFormBitmap(int resourceId) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0,
                                         0, LR_CREATEDIBSECTION));
}

void PaintFormBackground(HDC dc, HWND form, HBRUSH tileBrush, HBITMAP title, const RECT& titlePx) {
  RECT client;
  GetClientRect(form, &client);
  // A pattern brush repeats the 8 x 8 tile from the client origin: the same
  // picture as drawing the tile at every step across the screen.
  SetBrushOrgEx(dc, 0, 0, nullptr);
  FillRect(dc, &client, tileBrush ? tileBrush : GetSysColorBrush(COLOR_BTNFACE));
  if (!title) return;
  BITMAP bm{};
  GetObjectW(title, sizeof bm, &bm);
  const ScopedMemoryDc mem(CreateCompatibleDC(dc));
  const ScopedSelectObject selected(mem.get(), title);
  SetStretchBltMode(dc, HALFTONE);
  StretchBlt(dc, titlePx.left, titlePx.top, titlePx.right - titlePx.left, titlePx.bottom - titlePx.top, mem.get(), 0,
             0, bm.bmWidth, bm.bmHeight, SRCCOPY);
}

void MoveFormTo(HWND form, const forms::FormRect& r, const TwipScale& s) {
  SetWindowPos(form, nullptr, s.X(r.Left), s.Y(r.Top), s.X(r.Width), s.Y(r.Height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL SetFormZOrder(HWND form) {
  return SetWindowPos(form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Compiled in, from the same numbers as the version resource: reading the
// resource back would take VERSION.dll, which Windows looks for beside the
// program first.
std::string ProgramVersionCaption() {
  return forms::VersionCaption(TALLYHAWK_VERSION_MAJOR, TALLYHAWK_VERSION_MINOR, TALLYHAWK_VERSION_PATCH);
}

HWND NextTabStop(const std::vector<HWND>& order, HWND from, bool backwards) {
  const int count = static_cast<int>(order.size());
  if (count == 0) return nullptr;
  int at = -1;
  for (int i = 0; i < count; ++i) {
    if (order[i] == from) at = i;
  }
  if (at < 0) at = backwards ? 0 : count - 1;
  for (int step = 1; step <= count; ++step) {
    const int i = ((at + (backwards ? -step : step)) % count + count) % count;
    if (IsWindowVisible(order[i]) && IsWindowEnabled(order[i])) return order[i];
  }
  return nullptr;
}

HWND FindRunningForm() {
  HWND found = nullptr;
  // EnumWindows goes from the top of the stacking order down.
  EnumWindows(TakeRunningForm, reinterpret_cast<LPARAM>(&found));
  return found;
}

FormWindow::~FormWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void FormWindow::DestroyForm() {
  if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
}

void FormWindow::CreateForm(const std::string& caption, DWORD style, DWORD exStyle) {
  static const ATOM registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &FormWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc);
  }();
  (void)registered;
  hwnd_ = CreateWindowExW(exStyle, kFormClass, Wide(caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                          nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) ThrowLastError();
}

HWND FormWindow::AddControl(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, int id,
                            const RECT& px) {
  HWND h = CreateWindowExW(exStyle, cls, Wide(text).c_str(), WS_CHILD | style, px.left, px.top, px.right - px.left,
                           px.bottom - px.top, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!h) ThrowLastError();
  return h;
}

LRESULT FormWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

LRESULT CALLBACK FormWindow::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = h;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!self) return DefWindowProcW(h, msg, wp, lp);
  if (msg == WM_ACTIVATE && self->KeepFocusAcrossActivation(wp)) return 0;
  const LRESULT r = self->Handle(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return r;
}

// Left to itself, a reactivated window takes the focus itself, away from its
// controls: after another window (Explorer opening the output folder, say)
// had the focus, Enter would no longer press the notice's OK. Give the focus
// back to the control that had it, as a dialog does.
bool FormWindow::KeepFocusAcrossActivation(WPARAM wp) {
  if (LOWORD(wp) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return false;
  }
  if (HIWORD(wp) != 0) return false;  // minimized
  if (!lastFocus_ || !IsWindow(lastFocus_) || !IsChild(hwnd_, lastFocus_) || !IsWindowVisible(lastFocus_) ||
      !IsWindowEnabled(lastFocus_)) {
    return false;
  }
  SetFocus(lastFocus_);
  return true;
}

void FormWindow::RunModal(const bool& done) {
  MSG msg;
  while (!done) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the outer loop
      return;
    }
    const bool ours = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
    if (ours && PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace th::win32

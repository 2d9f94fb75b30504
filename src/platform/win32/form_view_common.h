#pragma once
// What the two form views share: twips on the display, fonts, the tiled
// background and title artwork, a window class, and a modal loop.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/form_helpers.h"
#include "platform/win32/scoped_handle.h"

namespace th::win32 {

// Twips <-> pixels at the display's pixels per inch.
struct TwipScale {
  int dpiX = 96, dpiY = 96;
  int X(double twips) const;
  int Y(double twips) const;
  double TwipsX(int px) const { return px * 1440.0 / dpiX; }
  double TwipsY(int px) const { return px * 1440.0 / dpiY; }
};

TwipScale DisplayScale();
forms::ScreenTwips ScreenSize(const TwipScale& s);

ScopedGdiObject CreateFormFont(const char* utf8Face, double points, bool bold, const TwipScale& s);

// The background tile and title picture, embedded in the program.
HBITMAP LoadFormBitmap(int resourceId);

// Tiles the client area with the tile and draws the title picture (when
// given) at its twips rectangle.
void PaintFormBackground(HDC dc, HWND form, HBRUSH tileBrush, HBITMAP title, const RECT& titlePx);

// Moves and sizes a form to a twips rectangle (outer size).
void MoveFormTo(HWND form, const forms::FormRect& r, const TwipScale& s);
// Always on top; returns the stacking call's result.
BOOL SetFormZOrder(HWND form);

// "Version: major.minor.revision" from the program's version resource.
std::string ProgramVersionCaption();

// The next (or previous) visible, enabled control of a tab order, wrapping.
HWND NextTabStop(const std::vector<HWND>& order, HWND from, bool backwards);

// The frontmost visible form of another running instance of the program,
// or null.
HWND FindRunningForm();

// A top-level window whose messages go to a C++ object.
class FormWindow {
 public:
  FormWindow() = default;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  virtual ~FormWindow();
  HWND hwnd() const { return hwnd_; }

 protected:
  void CreateForm(const std::string& caption, DWORD style, DWORD exStyle);
  HWND AddControl(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, int id,
                  const RECT& px);
  virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  // Gets keys before they are translated; true when it used the key.
  virtual bool PreTranslate(const MSG&) { return false; }
  // Derived views destroy their window while their members still live.
  void DestroyForm();
  // Runs the form's messages until `done` turns true.
  void RunModal(const bool& done);

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  bool KeepFocusAcrossActivation(WPARAM wp);

  HWND lastFocus_ = nullptr;  // the control that had the focus when the form was last deactivated
};

// Pixel rectangle of a twips control rectangle.
RECT ControlPx(const TwipScale& s, double left, double top, double width, double height);

}  // namespace th::win32

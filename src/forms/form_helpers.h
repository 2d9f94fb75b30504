#pragma once
// kxForm: the placement and keyboard helpers both dialogs share. They decide;
// the window code that calls them does the moving and the focus changes.
#include <cstdint>
#include <string_view>

namespace th::forms {

// Form and control geometry in twips (1/1440 inch), held in single precision
// like the forms' own coordinates; a control's is relative to its form's
// client area.
struct FormRect {
  float Left = 0, Top = 0, Width = 0, Height = 0;
};

struct ScreenTwips {
  double width = 0, height = 0;
};

// Centres the form on the whole screen; a form larger than the screen in one
// direction is pinned to 0 in that direction.
void PlaceForm(FormRect& form, ScreenTwips screen);

// Character filters for a key press. The code is set to 0 when refused.
constexpr std::uint16_t kBackspace = 8;
void DigitOnly(std::uint16_t& keyAscii, std::u16string_view allowed);
// caseMode 2 turns A-Z into a-z, 0 keeps the case.
void AlphaOnly(std::uint16_t& keyAscii, std::int16_t caseMode, std::u16string_view allowed);

// Virtual-key codes the navigation looks at.
constexpr std::uint16_t kKeyEnter = 13, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;

enum class ControlKind { OptionButton, CheckBox, ListBox, ComboBox, TextBox, Other };

// What the navigation needs to know about the control that has the focus.
struct FocusedControl {
  ControlKind kind = ControlKind::Other;
  int selStart = 0;
  int selLength = 0;
  int textLength = 0;
};

enum class FocusMove { None, Previous, Next };

// Enter and the arrow keys move between fields. When the key is handled both
// keyCode and shift are set to 0 (the control must not see it) and the move
// to make is returned; an unhandled key leaves both untouched.
FocusMove KeyNavigate(std::uint16_t& keyCode, std::uint16_t& shift, const FocusedControl& focused);

}  // namespace th::forms

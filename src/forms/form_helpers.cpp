#include "forms/form_helpers.h"

namespace th::forms {

void PlaceForm(FormRect& form, ScreenTwips screen) {
  form.Top = static_cast<float>((screen.height - form.Height) / 2.0);
  form.Left = static_cast<float>((screen.width - form.Width) / 2.0);
  if (form.Height > screen.height) form.Top = 0;
  if (form.Width > screen.width) form.Left = 0;
}

namespace {

bool InAllowed(std::uint16_t c, std::u16string_view allowed) {
  return allowed.find(static_cast<char16_t>(c)) != std::u16string_view::npos;
}

}  // namespace

void DigitOnly(std::uint16_t& keyAscii, std::u16string_view allowed) {
  if (keyAscii >= u'0' && keyAscii <= u'9') return;
  if (keyAscii == kBackspace || InAllowed(keyAscii, allowed)) return;
  keyAscii = 0;
}

void AlphaOnly(std::uint16_t& keyAscii, std::int16_t caseMode, std::u16string_view allowed) {
  if (keyAscii >= u'A' && keyAscii <= u'Z') {
    if (caseMode == 2) keyAscii = static_cast<std::uint16_t>(keyAscii + 32);
    return;
  }
  if (keyAscii >= u'a' && keyAscii <= u'z') return;
  if (keyAscii == kBackspace || InAllowed(keyAscii, allowed)) return;
  keyAscii = 0;
}

namespace {

bool Handled(std::uint16_t key, const FocusedControl& f) {
  switch (f.kind) {
    case ControlKind::OptionButton:
    case ControlKind::CheckBox:
      // The arrows keep moving between the buttons of a group.
      return key == kKeyEnter;
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
      // Up and down keep moving through the list.
      return key == kKeyLeft || key == kKeyRight || key == kKeyEnter;
    case ControlKind::TextBox:
      if (key == kKeyUp || key == kKeyDown || key == kKeyEnter) return true;
      // Left and right leave the box only from its ends; inside they move the caret.
      if (key == kKeyLeft) return f.selStart == 0 && f.selLength == 0;
      if (key == kKeyRight) return f.selStart == f.textLength;
      return false;
    case ControlKind::Other:
      return true;
  }
  return false;
}

}  // namespace

FocusMove KeyNavigate(std::uint16_t& keyCode, std::uint16_t& shift, const FocusedControl& focused) {
  const std::uint16_t key = keyCode;
  if (!Handled(key, focused)) return FocusMove::None;
  keyCode = 0;
  shift = 0;
  if (key == kKeyUp || key == kKeyLeft) return FocusMove::Previous;
  if (key == kKeyDown || key == kKeyRight || key == kKeyEnter) return FocusMove::Next;
  return FocusMove::None;  // any other key on a plain control is swallowed
}

}  // namespace th::forms

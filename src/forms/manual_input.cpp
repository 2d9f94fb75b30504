#include "forms/manual_input.h"

#include "forms/form_helpers.h"
#include "forms/form_text.h"

namespace th::forms {

namespace {

using C = EntryControl;
using T = ControlType;
using I = ImeMode;

constexpr std::array<ControlLayout, 18> kLayout{{
    {C::imgTitle, T::Picture, "", -2160, 0, 11835, 1005, 0, false, 0, I::Default, -1, true},
    {C::lbl_f_Version, T::Label, "Version:XX.XX.XX", 4350, 30, 2985, 255, 12, true, 0, I::Default, -1, true},
    {C::lbl_f_Kanri_No, T::Label, "管理番号", 780, 1230, 1695, 435, 18, false, 0, I::Default, -1, true},
    {C::txt_f_Kanri_No_0, T::TextBox, "", 2340, 1170, 765, 495, 18, false, 3, I::Disabled, 3, true},
    {C::Label1, T::Label, "-", 3420, 1230, 255, 435, 18, false, 0, I::Default, -1, true},
    {C::txt_f_Kanri_No_1, T::TextBox, "", 3900, 1170, 555, 495, 18, false, 2, I::Disabled, 4, true},
    {C::Label2, T::Label, "-", 4725, 1230, 255, 435, 18, false, 0, I::Default, -1, true},
    {C::txt_f_Kanri_No_2, T::TextBox, "", 5160, 1170, 945, 495, 18, false, 4, I::Disabled, 5, true},
    {C::lbl_f_User_nm_Sei, T::Label, "姓", 780, 1890, 1695, 435, 18, false, 0, I::Default, -1, true},
    {C::txt_f_User_nm_Sei, T::TextBox, "", 2310, 1860, 4335, 495, 18, false, 50, I::Hiragana, 6, true},
    {C::lbl_f_User_nm_Mei, T::Label, "名", 780, 2550, 1695, 435, 18, false, 0, I::Default, -1, true},
    {C::txt_f_User_nm_Mei, T::TextBox, "", 2310, 2520, 4335, 495, 18, false, 50, I::Hiragana, 7, true},
    {C::cmd_Entry, T::Button, "登録", 600, 3255, 2505, 585, 24, false, 0, I::Default, 8, true},
    {C::cmd_End, T::Button, "中止", 4440, 3255, 2505, 585, 24, false, 0, I::Default, 9, true},
    {C::lbl_msg, T::Label, "上記の入力内容で処理を行います。", 90, 3180, 7245, 435, 18, false, 0, I::Default, -1,
     false},
    {C::cmd_OK, T::Button, "OK", 600, 3840, 2505, 585, 24, false, 0, I::Default, 13, false},
    {C::cmd_Cancel, T::Button, "Cancel", 4440, 3840, 2505, 585, 24, false, 0, I::Default, 14, false},
    {C::imgTail, T::Picture, "", 30, 3210, 120, 120, 0, false, 0, I::Default, -1, false},
}};

constexpr const char* kMsgEnterNumber = "管理番号を入力してください。";

bool IsLowerLetters(std::string_view s, std::size_t count) {
  if (s.size() != count) return false;
  for (char c : s) {
    if (c < 'a' || c > 'z') return false;
  }
  return true;
}

bool IsAsciiLetterOrDigit(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9');
}

}  // namespace

const std::array<ControlLayout, 18>& EntryFormLayout() { return kLayout; }

const ControlLayout& LayoutOf(EntryControl id) { return kLayout[static_cast<std::size_t>(id)]; }

std::string VersionCaption(unsigned major, unsigned minor, unsigned revision) {
  return "Version: " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

EntryControl ControlOf(Field f) {
  switch (f) {
    case Field::Kanri0: return C::txt_f_Kanri_No_0;
    case Field::Kanri1: return C::txt_f_Kanri_No_1;
    case Field::Kanri2: return C::txt_f_Kanri_No_2;
    case Field::Sei: return C::txt_f_User_nm_Sei;
    case Field::Mei: return C::txt_f_User_nm_Mei;
  }
  return C::txt_f_Kanri_No_0;
}

void fManualInput::SetText(Field f, std::string utf8) {
  if (state_ != State::Editing) return;
  text(f) = std::move(utf8);
}

void fManualInput::txt_f_Kanri_No_KeyPress(int index, std::uint16_t& keyAscii) const {
  switch (index) {
    case 0:
      AlphaOnly(keyAscii, 2, u"");
      break;
    case 1:
      DigitOnly(keyAscii, u"");
      break;
    case 2:
      // One letter may lead the third part; after it, digits only.
      if (Text(Field::Kanri2).empty()) {
        AlphaOnly(keyAscii, 0, u"0123456789");
      } else {
        DigitOnly(keyAscii, u"");
      }
      break;
    default:
      keyAscii = 0;
  }
}

void fManualInput::txt_f_Kanri_No_LostFocus(int index) {
  if (state_ != State::Editing || index < 1 || index > 2) return;
  std::string& t = text(index == 1 ? Field::Kanri1 : Field::Kanri2);
  if (t.empty()) return;
  if (index == 1) {
    t = IsNumber(t) ? ZeroPad(t, 2) : std::string();
    return;
  }
  if (IsNumber(t)) {
    t = ZeroPad(t, 4);
  } else if (CharCount(t) == 1) {
    t += "000";
  } else {
    const std::size_t firstLen = FirstCharBytes(t);
    const std::string rest = t.substr(firstLen);
    t = IsNumber(rest) ? t.substr(0, firstLen) + ZeroPad(rest, 3) : std::string();
  }
}

std::optional<fManualInput::CheckFailure> fManualInput::cmd_Entry_Click() {
  if (state_ != State::Editing) return std::nullopt;
  const std::string& k0 = Text(Field::Kanri0);
  const std::string& k1 = Text(Field::Kanri1);
  const std::string& k2 = Text(Field::Kanri2);
  // The number names the destination file: only the shapes below may pass,
  // whatever was pasted into the boxes.
  if (IsBlank(k0)) return CheckFailure{kMsgEnterNumber, Field::Kanri0};
  if (!IsLowerLetters(k0, 3)) return CheckFailure{"英小文字３桁で入力してください。", Field::Kanri0};
  if (IsBlank(k1)) return CheckFailure{kMsgEnterNumber, Field::Kanri1};
  if (!IsNumber(k1)) return CheckFailure{"数値２桁で入力してください。", Field::Kanri1};
  if (IsBlank(k2)) return CheckFailure{kMsgEnterNumber, Field::Kanri2};
  if (CharCount(k2) != 4 || !IsAsciiLetterOrDigit(FirstChar(k2))) {
    return CheckFailure{"４桁で入力してください。", Field::Kanri2};
  }
  if (!IsNumber(k2.substr(FirstCharBytes(k2)))) {
    return CheckFailure{"２文字目以降は数字で入力してください。", Field::Kanri2};
  }
  if (IsBlank(Text(Field::Sei))) return CheckFailure{"姓を入力してください。", Field::Sei};
  if (IsBlank(Text(Field::Mei))) return CheckFailure{"名を入力してください。", Field::Mei};
  state_ = State::Confirmation;
  return std::nullopt;
}

void fManualInput::cmd_OK_Click() {
  if (state_ != State::Confirmation) return;
  entryFlg_ = true;
  state_ = State::Confirmed;
}

void fManualInput::cmd_Cancel_Click() {
  if (state_ == State::Confirmation) state_ = State::Editing;
}

void fManualInput::cmd_End_Click() { Form_Close(); }

void fManualInput::Form_Close() {
  if (state_ == State::Confirmed) return;  // hidden by OK: its values stay readable
  // A closed form reads as a freshly loaded, empty one.
  texts_ = {};
  entryFlg_ = false;
  state_ = State::Abandoned;
}

bool fManualInput::IsVisible(EntryControl id) const {
  const bool confirming = state_ == State::Confirmation;
  switch (id) {
    case C::cmd_Entry:
    case C::cmd_End:
      return !confirming;
    case C::lbl_msg:
    case C::cmd_OK:
    case C::cmd_Cancel:
      return confirming;
    default:
      return LayoutOf(id).visibleAtStart;
  }
}

float fManualInput::Height() const {
  return static_cast<float>(state_ == State::Confirmation ? kConfirmationHeight : kEditingHeight);
}

std::string fManualInput::GetKanriNo() const {
  const std::string& k0 = Text(Field::Kanri0);
  const std::string& k1 = Text(Field::Kanri1);
  const std::string& k2 = Text(Field::Kanri2);
  if (IsBlank(k0) && IsBlank(k1) && IsBlank(k2)) return {};
  return k0 + "-" + ZeroPad(LeadingNumber(k1), 2) + "-" + k2;
}

}  // namespace th::forms

// The dialogs' models driven as a user would: key by key, focus by focus.
#include <gtest/gtest.h>

#include "forms/form_helpers.h"
#include "forms/manual_input.h"
#include "forms/msg_form.h"

namespace th::forms {
namespace {

using State = fManualInput::State;

// Types ASCII keys at the end of a box, through the form's key filter.
void Type(fManualInput& f, Field field, std::string_view keys) {
  const int index = static_cast<int>(field);
  for (char k : keys) {
    std::uint16_t code = static_cast<unsigned char>(k);
    if (index <= 2) f.txt_f_Kanri_No_KeyPress(index, code);
    if (code == 0) continue;
    std::string t = f.Text(field);
    if (code == kBackspace) {
      if (!t.empty()) t.pop_back();
    } else {
      t += static_cast<char>(code);
    }
    f.SetText(field, t);
  }
}

// Types into a number box and moves the focus on.
std::string Leave(fManualInput& f, Field field, std::string_view keys) {
  Type(f, field, keys);
  f.txt_f_Kanri_No_LostFocus(static_cast<int>(field));
  return f.Text(field);
}

void FillValid(fManualInput& f) {
  f.SetText(Field::Kanri0, "abc");
  f.SetText(Field::Kanri1, "05");
  f.SetText(Field::Kanri2, "a012");
  f.SetText(Field::Sei, "山田");
  f.SetText(Field::Mei, "太郎");
}

TEST(EntryFormKeys, FiltersOfTheThreeNumberBoxes) {
  fManualInput f;
  Type(f, Field::Kanri0, "AB-1c\b C");
  EXPECT_EQ(f.Text(Field::Kanri0), "abc");
  Type(f, Field::Kanri1, "x4.2");
  EXPECT_EQ(f.Text(Field::Kanri1), "42");
  Type(f, Field::Kanri2, "Ab1c2");
  EXPECT_EQ(f.Text(Field::Kanri2), "A12");  // a letter only as the first character
  Type(f, Field::Kanri2, "\b\b\b7a8");
  EXPECT_EQ(f.Text(Field::Kanri2), "78");

  // Full-width letters and digits are not letters or digits to the filters.
  for (std::uint16_t wide : {u'Ａ', u'ａ', u'１'}) {
    std::uint16_t c = wide;
    f.txt_f_Kanri_No_KeyPress(0, c);
    EXPECT_EQ(c, 0);
  }
  // The name boxes take anything.
  Type(f, Field::Sei, "x-1 ");
  EXPECT_EQ(f.Text(Field::Sei), "x-1 ");
}

TEST(EntryFormKeys, NormalisationWhenLeavingABox) {
  fManualInput f;
  EXPECT_EQ(Leave(f, Field::Kanri1, "7"), "07");
  EXPECT_EQ(Leave(f, Field::Kanri1, "\b\b00"), "00");
  for (auto [typed, shown] : {std::pair{"a", "a000"}, {"a5", "a005"}, {"12", "0012"}, {"B12", "B012"},
                              {"0", "0000"}, {"0012", "0012"}}) {
    f.SetText(Field::Kanri2, "");
    EXPECT_EQ(Leave(f, Field::Kanri2, typed), shown) << typed;
  }
  // Pasted text that is no number is dropped; part 1 is never changed.
  f.SetText(Field::Kanri1, "５");
  f.txt_f_Kanri_No_LostFocus(1);
  EXPECT_EQ(f.Text(Field::Kanri1), "");
  f.SetText(Field::Kanri2, "ab1");
  f.txt_f_Kanri_No_LostFocus(2);
  EXPECT_EQ(f.Text(Field::Kanri2), "");
  f.SetText(Field::Kanri0, "Ab");
  f.txt_f_Kanri_No_LostFocus(0);
  EXPECT_EQ(f.Text(Field::Kanri0), "Ab");
  f.SetText(Field::Kanri2, "");
  f.txt_f_Kanri_No_LostFocus(2);
  EXPECT_EQ(f.Text(Field::Kanri2), "");
}

TEST(EntryFormChecks, EachCheckInOrderWithItsMessageAndFocus) {
  struct Case {
    Field field;
    std::string text;
    std::string message;
    Field focus;
  };
  // Each case breaks one more box than the valid form and must be caught by
  // its own check, even though every later box is broken too.
  const std::vector<Case> cases = {
      {Field::Kanri0, "  ", "管理番号を入力してください。", Field::Kanri0},
      {Field::Kanri0, "ab", "英小文字３桁で入力してください。", Field::Kanri0},
      {Field::Kanri1, " ", "管理番号を入力してください。", Field::Kanri1},
      {Field::Kanri1, "5a", "数値２桁で入力してください。", Field::Kanri1},
      {Field::Kanri2, "    ", "管理番号を入力してください。", Field::Kanri2},
      {Field::Kanri2, "a12", "４桁で入力してください。", Field::Kanri2},
      {Field::Kanri2, "a1b2", "２文字目以降は数字で入力してください。", Field::Kanri2},
      {Field::Sei, " \u3000 ", "姓を入力してください。", Field::Sei},
      {Field::Mei, "", "名を入力してください。", Field::Mei},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    fManualInput f;
    FillValid(f);
    for (std::size_t j = cases.size(); j-- > i;) f.SetText(cases[j].field, cases[j].text);
    const auto failure = f.cmd_Entry_Click();
    ASSERT_TRUE(failure) << "check " << i + 1;
    EXPECT_EQ(failure->message, cases[i].message) << "check " << i + 1;
    EXPECT_EQ(failure->focus, cases[i].focus) << "check " << i + 1;
    EXPECT_EQ(f.state(), State::Editing);
    EXPECT_EQ(f.Height(), 4485);
  }
}

TEST(EntryFormChecks, PastedTextCannotShapeTheFileName) {
  for (const char* part1 : {"..\\", "a/b", "ab.", "ABC", "ａｂｃ", "abcd"}) {
    fManualInput f;
    FillValid(f);
    f.SetText(Field::Kanri0, part1);
    const auto failure = f.cmd_Entry_Click();
    ASSERT_TRUE(failure) << part1;
    EXPECT_EQ(failure->message, "英小文字３桁で入力してください。");
  }
  for (const char* part3 : {"\\012", ".012", " 012", "あ012"}) {
    fManualInput f;
    FillValid(f);
    f.SetText(Field::Kanri2, part3);
    const auto failure = f.cmd_Entry_Click();
    ASSERT_TRUE(failure) << part3;
    EXPECT_EQ(failure->message, "４桁で入力してください。");
  }
  fManualInput f;
  FillValid(f);
  f.SetText(Field::Kanri1, "０５");  // full-width digits are no number
  EXPECT_EQ(f.cmd_Entry_Click()->message, "数値２桁で入力してください。");
}

TEST(EntryFormStates, ConfirmCancelAndOk) {
  fManualInput f;
  FillValid(f);
  f.SetText(Field::Sei, " 山田 ");
  ASSERT_FALSE(f.cmd_Entry_Click());
  EXPECT_EQ(f.state(), State::Confirmation);
  EXPECT_EQ(f.Height(), 5040);
  EXPECT_TRUE(f.FieldsLocked());
  EXPECT_TRUE(f.IsVisible(EntryControl::lbl_msg) && f.IsVisible(EntryControl::cmd_OK) &&
              f.IsVisible(EntryControl::cmd_Cancel));
  EXPECT_FALSE(f.IsVisible(EntryControl::cmd_Entry) || f.IsVisible(EntryControl::cmd_End));
  f.SetText(Field::Kanri0, "xyz");  // locked
  EXPECT_EQ(f.Text(Field::Kanri0), "abc");

  f.cmd_Cancel_Click();
  EXPECT_EQ(f.state(), State::Editing);
  EXPECT_EQ(f.Height(), 4485);
  EXPECT_FALSE(f.FieldsLocked());
  EXPECT_TRUE(f.IsVisible(EntryControl::cmd_Entry) && f.IsVisible(EntryControl::cmd_End));
  EXPECT_FALSE(f.IsVisible(EntryControl::lbl_msg) || f.IsVisible(EntryControl::cmd_OK));
  EXPECT_EQ(f.Text(Field::Kanri2), "a012");
  EXPECT_FALSE(f.m_EntryFlg());
  f.SetText(Field::Kanri1, "07");
  EXPECT_EQ(f.Text(Field::Kanri1), "07");

  ASSERT_FALSE(f.cmd_Entry_Click());
  f.cmd_OK_Click();
  f.Form_Close();  // the window goes after OK hid it: the values stay
  EXPECT_EQ(f.state(), State::Confirmed);
  EXPECT_TRUE(f.m_EntryFlg());
  EXPECT_EQ(f.f_Kanri_No(), "abc-07-a012");
  EXPECT_EQ(f.f_User_nm_Sei(), " 山田 ");  // exactly as entered
  EXPECT_EQ(f.f_User_nm_Mei(), "太郎");
}

TEST(EntryFormStates, ClosingWithoutOkReadsAsAnEmptyForm) {
  for (bool confirming : {false, true}) {
    for (bool byEnd : {false, true}) {
      fManualInput f;
      FillValid(f);
      if (confirming) {
        ASSERT_FALSE(f.cmd_Entry_Click());
      }
      byEnd ? f.cmd_End_Click() : f.Form_Close();
      EXPECT_EQ(f.state(), State::Abandoned);
      EXPECT_FALSE(f.m_EntryFlg());
      EXPECT_EQ(f.f_Kanri_No(), "");
      EXPECT_EQ(f.f_User_nm_Sei(), "");
      EXPECT_EQ(f.f_User_nm_Mei(), "");
      f.cmd_OK_Click();
      EXPECT_FALSE(f.m_EntryFlg());
    }
  }
}

TEST(EntryFormStates, ManagementNumberJoinsThreeParts) {
  fManualInput f;
  EXPECT_EQ(f.f_Kanri_No(), "");
  f.SetText(Field::Kanri1, "  ");
  EXPECT_EQ(f.f_Kanri_No(), "");
  f.SetText(Field::Kanri1, "7");
  EXPECT_EQ(f.f_Kanri_No(), "-07-");
  f.SetText(Field::Kanri0, "abc");
  f.SetText(Field::Kanri1, "x");
  f.SetText(Field::Kanri2, " 12");
  EXPECT_EQ(f.f_Kanri_No(), "abc-00- 12");  // parts 1 and 3 taken as they are
}

TEST(EntryFormLayout, TabOrderRunsThroughTheFieldsThenTheButtons) {
  std::vector<EntryControl> order;
  for (int t = 0; t < 20; ++t) {
    for (const auto& c : EntryFormLayout()) {
      if (c.tabIndex == t) order.push_back(c.id);
    }
  }
  using C = EntryControl;
  EXPECT_EQ(order, (std::vector<C>{C::txt_f_Kanri_No_0, C::txt_f_Kanri_No_1, C::txt_f_Kanri_No_2,
                                   C::txt_f_User_nm_Sei, C::txt_f_User_nm_Mei, C::cmd_Entry, C::cmd_End,
                                   C::cmd_OK, C::cmd_Cancel}));
  for (const auto& c : EntryFormLayout()) EXPECT_EQ(&LayoutOf(c.id), &c);
  EXPECT_EQ(VersionCaption(1, 2, 15), "Version: 1.2.15");
}

FormRect MeasureBy(float w, float h) { return {0, 0, w, h}; }

TEST(MsgForm, NoticesAndSizingAroundTheText) {
  fMsg m;
  m.SetMsgMode(1);
  m.SetMsgText([](const std::string&) { return MeasureBy(1800, 225); });
  EXPECT_EQ(m.Caption(), "インベントリ収集");
  EXPECT_EQ(m.Text(), "データ収集中です。");
  EXPECT_FALSE(m.OkVisible());
  EXPECT_EQ(m.Form().Width, 720 + 1800);
  EXPECT_EQ(m.Form().Height, 1815 + 225);  // room for the hidden button
  EXPECT_EQ(m.OkButton().Left, 720 + 1800 - 1215 - 360);
  EXPECT_EQ(m.OkButton().Top, 720 + 225);

  // A longer text grows the form by exactly the label's growth.
  fMsg longer;
  longer.SetMsgMode(8);
  std::string measured;
  longer.SetMsgText([&](const std::string& t) {
    measured = t;
    return MeasureBy(1800 + 975, 225 + 240);
  });
  EXPECT_EQ(measured, "データ保存が正常に終了しました。");
  EXPECT_EQ(longer.Caption(), "データ保存");
  EXPECT_TRUE(longer.OkVisible());
  EXPECT_EQ(longer.Form().Width - m.Form().Width, 975);
  EXPECT_EQ(longer.Form().Height - m.Form().Height, 240);
  EXPECT_EQ(longer.OkButton().Left - m.OkButton().Left, 975);
  EXPECT_EQ(longer.OkButton().Top - m.OkButton().Top, 240);

  EXPECT_EQ(NoticeFor(7).text, "データ保存に失敗しました。");
  EXPECT_EQ(NoticeFor(7).title, "データ保存");
  EXPECT_EQ(NoticeFor(3).title, "ファイル保存");
}

TEST(MsgForm, PreparingNoticeHasABarUnderItsTextInPlaceOfTheButton) {
  fMsg m;
  m.SetMsgMode(platform::kNoticePreparing);
  m.SetMsgText([](const std::string&) { return MeasureBy(4200, 225); });
  EXPECT_EQ(m.Caption(), "インベントリ収集");
  EXPECT_EQ(m.Text(), "準備しています。しばらくお待ちください。");
  EXPECT_FALSE(m.OkVisible());
  ASSERT_TRUE(m.ProgressVisible());
  EXPECT_EQ(m.Form().Height, 1815 + 225);  // the same frame as every notice
  const FormRect& bar = m.ProgressBar();
  EXPECT_EQ(bar.Left, m.Label().Left);
  EXPECT_EQ(bar.Width, 4200);
  EXPECT_EQ(bar.Top, m.OkButton().Top);
  EXPECT_LE(bar.Top + bar.Height, m.OkButton().Top + m.OkButton().Height);
  EXPECT_FALSE(NoticeFor(platform::kNoticeCollecting).progressBar);
}

TEST(MsgForm, LoadCentresOnceSized) {
  fMsg m;
  m.SetMsgMode(7);
  m.Load([](const std::string&) { return MeasureBy(2880, 225); }, {28800, 16200});
  EXPECT_EQ(m.Form().Left, (28800 - 3600) / 2.0f);
  EXPECT_EQ(m.Form().Top, (16200 - 2040) / 2.0f);
}

TEST(FormHelpers, PlaceForm) {
  FormRect f{1, 2, 7440, 4485};
  PlaceForm(f, {1920 * 15, 1080 * 15});
  EXPECT_EQ(f.Left, (28800 - 7440) / 2.0f);
  EXPECT_EQ(f.Top, (16200 - 4485) / 2.0f);  // halves kept, not rounded
  EXPECT_EQ(f.Top, 5857.5f);

  FormRect big{5, 5, 30000, 17000};
  PlaceForm(big, {28800, 16200});
  EXPECT_EQ(big.Left, 0);
  EXPECT_EQ(big.Top, 0);
  FormRect tall{5, 5, 7440, 17000};
  PlaceForm(tall, {28800, 16200});
  EXPECT_EQ(tall.Left, (28800 - 7440) / 2.0f);
  EXPECT_EQ(tall.Top, 0);
}

TEST(FormHelpers, DigitAndLetterFilters) {
  auto digit = [](char16_t c, std::u16string_view allowed) {
    std::uint16_t k = c;
    DigitOnly(k, allowed);
    return k;
  };
  EXPECT_EQ(digit(u'-', u"-"), u'-');
  EXPECT_EQ(digit(u'0', u"-"), u'0');
  EXPECT_EQ(digit(u'9', u"-"), u'9');
  EXPECT_EQ(digit(8, u"-"), 8);
  EXPECT_EQ(digit(u'a', u"-"), 0);
  EXPECT_EQ(digit(u'-', u""), 0);
  EXPECT_EQ(digit(u'/', u""), 0);
  EXPECT_EQ(digit(u':', u""), 0);

  auto alpha = [](char16_t c, std::int16_t mode, std::u16string_view allowed) {
    std::uint16_t k = c;
    AlphaOnly(k, mode, allowed);
    return k;
  };
  EXPECT_EQ(alpha(u'A', 2, u"0123456789"), u'a');
  EXPECT_EQ(alpha(u'Z', 2, u""), u'z');
  EXPECT_EQ(alpha(u'Z', 0, u""), u'Z');
  EXPECT_EQ(alpha(u'a', 2, u"0123456789"), u'a');
  EXPECT_EQ(alpha(u'5', 2, u"0123456789"), u'5');
  EXPECT_EQ(alpha(u'5', 2, u""), 0);
  EXPECT_EQ(alpha(u'-', 2, u"0123456789"), 0);
  EXPECT_EQ(alpha(u'@', 2, u""), 0);
  EXPECT_EQ(alpha(u'[', 2, u""), 0);
  EXPECT_EQ(alpha(u'Ａ', 2, u""), 0);
}

TEST(FormHelpers, KeyNavigateDecisions) {
  struct Case {
    ControlKind kind;
    std::uint16_t key;
    int selStart, selLength, textLength;
    FocusMove move;
    bool consumed;
  };
  const FocusMove N = FocusMove::None, P = FocusMove::Previous, X = FocusMove::Next;
  const ControlKind T = ControlKind::TextBox;
  const std::vector<Case> cases = {
      {T, kKeyEnter, 1, 0, 3, X, true},   {T, kKeyDown, 1, 0, 3, X, true},
      {T, kKeyUp, 1, 0, 3, P, true},      {T, kKeyLeft, 1, 0, 3, N, false},
      {T, kKeyLeft, 0, 0, 3, P, true},    {T, kKeyLeft, 0, 3, 3, N, false},
      {T, kKeyRight, 1, 0, 3, N, false},  {T, kKeyRight, 3, 0, 3, X, true},
      {T, kKeyRight, 0, 0, 0, X, true},   {T, 'A', 0, 0, 0, N, false},
      {ControlKind::CheckBox, kKeyEnter, 0, 0, 0, X, true},
      {ControlKind::OptionButton, kKeyDown, 0, 0, 0, N, false},
      {ControlKind::ListBox, kKeyDown, 0, 0, 0, N, false},
      {ControlKind::ComboBox, kKeyLeft, 0, 0, 0, P, true},
      {ControlKind::Other, kKeyUp, 0, 0, 0, P, true},
      {ControlKind::Other, 'A', 0, 0, 0, N, true},
  };
  for (const Case& c : cases) {
    std::uint16_t key = c.key, shift = 1;
    const FocusMove move = KeyNavigate(key, shift, {c.kind, c.selStart, c.selLength, c.textLength});
    EXPECT_EQ(move, c.move) << int(c.kind) << " key " << c.key << " at " << c.selStart;
    EXPECT_EQ(key == 0 && shift == 0, c.consumed) << int(c.kind) << " key " << c.key;
    if (!c.consumed) {
      EXPECT_TRUE(key == c.key && shift == 1);
    }
  }
}

}  // namespace
}  // namespace th::forms

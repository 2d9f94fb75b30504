// The entry form driven the way its window drives it: key presses, pastes of
// arbitrary text, focus moves and the four buttons, in any order. The boxes
// are stood in for by a small edit-control model (UTF-16 text, selection,
// length limit), so the model sees only texts a real box can hold.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forms/manual_input.h"
#include "fuzz_support.h"

namespace {

using th::forms::EntryControl;
using th::forms::Field;
using th::forms::fManualInput;

std::string Utf8(const std::u16string& w) {
  std::string s;
  for (std::size_t i = 0; i < w.size(); ++i) {
    char32_t c = w[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate converts as the replacement character
    }
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else if (c < 0x800) {
      s += static_cast<char>(0xC0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      s += static_cast<char>(0xE0 | (c >> 12));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      s += static_cast<char>(0xF0 | (c >> 18));
      s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return s;
}

std::u16string Utf16(std::string_view s) {
  std::u16string w;
  for (std::size_t i = 0; i < s.size();) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? lead : lead & (0x3F >> (n - 1));
    for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += n;
    if (c >= 0x10000) {
      w += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      w += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      w += static_cast<char16_t>(c);
    }
  }
  return w;
}

// A single-line edit control with a length limit in UTF-16 units.
struct Box {
  std::u16string text;
  std::size_t selStart = 0, selEnd = 0;
  std::size_t limit = 0;

  void replaceSelection(std::u16string in) {
    const std::size_t kept = text.size() - (selEnd - selStart);
    const std::size_t room = kept < limit ? limit - kept : 0;
    if (in.size() > room) in.resize(room);
    text.replace(selStart, selEnd - selStart, in);
    selStart = selEnd = selStart + in.size();
  }
  void backspace() {
    if (selStart == selEnd && selStart > 0) --selStart;
    text.erase(selStart, selEnd - selStart);
    selEnd = selStart;
  }
  void select(std::size_t a, std::size_t b) {
    selStart = std::min(a, text.size());
    selEnd = std::max(selStart, std::min(b, text.size()));
  }
};

struct Input {
  std::string_view rest;
  bool empty() const { return rest.empty(); }
  std::uint8_t byte() {
    if (rest.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(rest[0]);
    rest.remove_prefix(1);
    return b;
  }
  char16_t unit() { return static_cast<char16_t>(byte() | (byte() << 8)); }
};

bool Blank(const std::u16string& s) {
  return std::all_of(s.begin(), s.end(), [](char16_t c) { return c == u' ' || c == u'\u3000'; });
}
bool AllDigits(std::u16string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}
bool LowerLetters(const std::u16string& s) {
  return s.size() == 3 && std::all_of(s.begin(), s.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
}
bool AsciiAlnum(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

std::size_t Characters(const std::u16string& s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++i, ++n) {
    if (s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
  }
  return n;
}

// The nine checks of 登録, in their order, on what the boxes show.
std::optional<fManualInput::CheckFailure> ExpectedCheck(const std::array<Box, 5>& b) {
  const std::u16string &k0 = b[0].text, &k1 = b[1].text, &k2 = b[2].text;
  const char* again = "管理番号を入力してください。";
  if (Blank(k0)) return fManualInput::CheckFailure{again, Field::Kanri0};
  if (!LowerLetters(k0)) return fManualInput::CheckFailure{"英小文字３桁で入力してください。", Field::Kanri0};
  if (Blank(k1)) return fManualInput::CheckFailure{again, Field::Kanri1};
  if (!AllDigits(k1)) return fManualInput::CheckFailure{"数値２桁で入力してください。", Field::Kanri1};
  if (Blank(k2)) return fManualInput::CheckFailure{again, Field::Kanri2};
  // Four characters whose first is a letter or digit; a pair of surrogates is one character.
  if (Characters(k2) != 4 || !AsciiAlnum(k2[0])) {
    return fManualInput::CheckFailure{"４桁で入力してください。", Field::Kanri2};
  }
  if (!AllDigits(std::u16string_view(k2).substr(1))) {
    return fManualInput::CheckFailure{"２文字目以降は数字で入力してください。", Field::Kanri2};
  }
  if (Blank(b[3].text)) return fManualInput::CheckFailure{"姓を入力してください。", Field::Sei};
  if (Blank(b[4].text)) return fManualInput::CheckFailure{"名を入力してください。", Field::Mei};
  return std::nullopt;
}

bool KanriNoShape(const std::string& s) {
  if (s.size() != 11 || s[3] != '-' || s[6] != '-') return false;
  for (int i : {0, 1, 2}) {
    if (s[i] < 'a' || s[i] > 'z') return false;
  }
  for (int i : {4, 5, 8, 9, 10}) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return AsciiAlnum(static_cast<char16_t>(s[7]));
}

struct Form {
  fManualInput model;
  std::array<Box, 5> boxes;
  int focus = 0;  // 0..4 a box, 5 a button

  Form() {
    for (int f = 0; f < 5; ++f) boxes[f].limit = th::forms::LayoutOf(th::forms::ControlOf(Field(f))).maxLength;
  }
  void changed(int f) { model.SetText(Field(f), Utf8(boxes[f].text)); }
  void moveFocus(int to) {
    if (to == focus) return;
    if (focus <= 2) {
      model.txt_f_Kanri_No_LostFocus(focus);
      // The window takes the normalised text back.
      const std::string& t = model.Text(Field(focus));
      if (Utf8(boxes[focus].text) != t) {
        FUZZ_CHECK(th::fuzz::ValidUtf8(t));
        boxes[focus].text = Utf16(t);
        FUZZ_CHECK(Utf8(boxes[focus].text) == t);
        boxes[focus].select(0, 0);
        changed(focus);
      }
    }
    focus = to;
    if (focus < 5) boxes[focus].select(0, boxes[focus].text.size());
  }
  bool editable() const { return focus < 5 && model.state() == fManualInput::State::Editing; }

  void type(char16_t key) {
    if (!editable()) return;
    if (key == u'\r' || key == u'\n') return;
    std::uint16_t k = key;
    if (focus <= 2) {
      model.txt_f_Kanri_No_KeyPress(focus, k);
      if (k == 0) return;
      // What the filters let through: letters and digits, or backspace.
      FUZZ_CHECK(k == 8 || AsciiAlnum(static_cast<char16_t>(k)));
      if (focus == 0) FUZZ_CHECK(!(k >= u'A' && k <= u'Z'));
    }
    if (k == 8) {
      boxes[focus].backspace();
    } else if (k < 0x20) {
      return;  // control characters type nothing
    } else {
      boxes[focus].replaceSelection(std::u16string(1, static_cast<char16_t>(k)));
    }
    changed(focus);
  }
  void paste(std::u16string text) {
    if (!editable()) return;
    // A single-line box takes the clipboard up to its first line end or NUL.
    text.resize(std::min(text.size(), text.find_first_of(u"\r\n", 0, 3)));
    boxes[focus].replaceSelection(std::move(text));
    changed(focus);
  }
  void entry() {
    moveFocus(5);
    const bool editing = model.state() == fManualInput::State::Editing;
    const auto expected = editing ? ExpectedCheck(boxes) : std::nullopt;
    const auto failure = model.cmd_Entry_Click();
    FUZZ_CHECK(failure.has_value() == expected.has_value());
    if (failure) {
      FUZZ_CHECK(failure->message == expected->message && failure->focus == expected->focus);
      FUZZ_CHECK(model.state() == fManualInput::State::Editing);
      moveFocus(static_cast<int>(failure->focus));
    } else if (editing) {
      FUZZ_CHECK(model.state() == fManualInput::State::Confirmation);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{std::string_view(reinterpret_cast<const char*>(data), size)};
  Form form;
  fManualInput& m = form.model;
  for (int steps = 0; !in.empty() && !m.Ended() && steps < 4096; ++steps) {
    const fManualInput::State before = m.state();
    switch (in.byte() % 10) {
      case 0:
      case 1:
        form.type(static_cast<char16_t>(in.byte()));
        break;
      case 2:
        form.type(in.unit());
        break;
      case 3: {
        std::u16string clip(in.byte() % 64, u'\0');
        for (char16_t& c : clip) c = in.unit();
        form.paste(std::move(clip));
        break;
      }
      case 4:
        form.moveFocus(in.byte() % 6);
        break;
      case 5:
        if (form.focus < 5) form.boxes[form.focus].select(in.byte() % 8, in.byte() % 8);
        break;
      case 6:
        form.entry();
        break;
      case 7:
        form.moveFocus(5);
        m.cmd_OK_Click();
        FUZZ_CHECK(m.state() == (before == fManualInput::State::Confirmation ? fManualInput::State::Confirmed : before));
        break;
      case 8:
        form.moveFocus(5);
        m.cmd_Cancel_Click();
        FUZZ_CHECK(m.state() == (before == fManualInput::State::Confirmation ? fManualInput::State::Editing : before));
        break;
      default:
        if (in.byte() % 2) m.cmd_End_Click();
        else m.Form_Close();
        FUZZ_CHECK(m.state() == fManualInput::State::Abandoned);
        break;
    }
    if (m.Ended()) break;
    // The model and the window agree on every text, and on what is shown.
    for (int f = 0; f < 5; ++f) {
      FUZZ_CHECK(m.Text(Field(f)) == Utf8(form.boxes[f].text));
    }
    const bool confirming = m.state() == fManualInput::State::Confirmation;
    FUZZ_CHECK(m.FieldsLocked() == confirming);
    FUZZ_CHECK(m.IsVisible(EntryControl::cmd_OK) == confirming && m.IsVisible(EntryControl::cmd_Cancel) == confirming);
    FUZZ_CHECK(m.IsVisible(EntryControl::cmd_Entry) != confirming && m.IsVisible(EntryControl::cmd_End) != confirming);
    FUZZ_CHECK(m.IsVisible(EntryControl::lbl_msg) == confirming);
    FUZZ_CHECK(m.Height() == (confirming ? 5040.0f : 4485.0f));
    FUZZ_CHECK(!m.m_EntryFlg());
  }

  if (m.state() == fManualInput::State::Confirmed) {
    // The number names the destination file: only its one shape may come out.
    const std::string number = m.f_Kanri_No();
    FUZZ_CHECK(KanriNoShape(number));
    FUZZ_CHECK(m.m_EntryFlg());
    FUZZ_CHECK(m.f_User_nm_Sei() == Utf8(form.boxes[3].text) && !Blank(form.boxes[3].text));
    FUZZ_CHECK(m.f_User_nm_Mei() == Utf8(form.boxes[4].text) && !Blank(form.boxes[4].text));
    // Nothing done after OK changes what was confirmed.
    m.SetText(Field::Kanri0, "..\\x");
    m.txt_f_Kanri_No_LostFocus(2);
    m.cmd_Cancel_Click();
    m.Form_Close();
    FUZZ_CHECK(m.f_Kanri_No() == number && m.m_EntryFlg());
  } else if (m.state() == fManualInput::State::Abandoned) {
    FUZZ_CHECK(m.f_Kanri_No().empty() && m.f_User_nm_Sei().empty() && m.f_User_nm_Mei().empty());
    FUZZ_CHECK(!m.m_EntryFlg());
  }
  return 0;
}

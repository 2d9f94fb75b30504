#pragma once
// fManualInput: the asset-information entry form, as a model without any
// window toolkit. The window code forwards the user's actions to it and
// shows what it says (texts, visible controls, locked fields, height).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace th::forms {

enum class EntryControl {
  imgTitle,
  lbl_f_Version,
  lbl_f_Kanri_No,
  txt_f_Kanri_No_0,
  Label1,
  txt_f_Kanri_No_1,
  Label2,
  txt_f_Kanri_No_2,
  lbl_f_User_nm_Sei,
  txt_f_User_nm_Sei,
  lbl_f_User_nm_Mei,
  txt_f_User_nm_Mei,
  cmd_Entry,
  cmd_End,
  lbl_msg,
  cmd_OK,
  cmd_Cancel,
  imgTail,
};

enum class ControlType { Picture, Label, TextBox, Button };
enum class ImeMode { Default, Disabled, Hiragana };

// One control as designed; positions and sizes in twips, relative to the
// form's client area.
struct ControlLayout {
  EntryControl id;
  ControlType type;
  const char* caption;
  int left, top, width, height;
  double fontPoints;
  bool bold;
  int maxLength;  // 0: no limit
  ImeMode ime;
  int tabIndex;  // -1: not a tab stop
  bool visibleAtStart;
};

constexpr const char* kEntryCaption = "資産情報を入力してください。";
constexpr const char* kEntryFontName = "ＭＳ ゴシック";
constexpr double kEntryFormFontPoints = 9;
constexpr int kEntryClientWidth = 7440;
constexpr int kEditingHeight = 4485;       // outer height
constexpr int kConfirmationHeight = 5040;  // outer height
constexpr const char* kEntryCheckTitle = "必須入力";

const std::array<ControlLayout, 18>& EntryFormLayout();
const ControlLayout& LayoutOf(EntryControl id);

// "Version: 1.2.15"
std::string VersionCaption(unsigned major, unsigned minor, unsigned revision);

// The five text boxes, in tab order. Kanri0..2 are txt_f_Kanri_No(0..2).
enum class Field { Kanri0, Kanri1, Kanri2, Sei, Mei };
constexpr int kFieldCount = 5;
EntryControl ControlOf(Field f);

class fManualInput {
 public:
  enum class State { Editing, Confirmation, Confirmed, Abandoned };

  struct CheckFailure {
    std::string message;
    Field focus;
  };

  const std::string& Text(Field f) const { return texts_[static_cast<int>(f)]; }
  // The box's text after the user changed it (typing or pasting). Ignored
  // while the boxes are locked or after the form ended.
  void SetText(Field f, std::string utf8);

  // Key press in txt_f_Kanri_No(index), before the character goes in;
  // keyAscii is set to 0 when the key is discarded.
  void txt_f_Kanri_No_KeyPress(int index, std::uint16_t& keyAscii) const;
  // Normalises txt_f_Kanri_No(index) as the focus leaves it.
  void txt_f_Kanri_No_LostFocus(int index);

  // 登録: the first failing check, or nothing when the form went into the
  // confirmation state.
  std::optional<CheckFailure> cmd_Entry_Click();
  void cmd_OK_Click();
  void cmd_Cancel_Click();
  void cmd_End_Click();
  // Any other way of closing the window.
  void Form_Close();

  State state() const { return state_; }
  bool Ended() const { return state_ == State::Confirmed || state_ == State::Abandoned; }
  bool FieldsLocked() const { return state_ == State::Confirmation; }
  bool IsVisible(EntryControl id) const;
  float Height() const;  // outer height in twips

  // Public members, as read once the modal display ended.
  std::string f_Kanri_No() const { return GetKanriNo(); }
  const std::string& f_User_nm_Sei() const { return Text(Field::Sei); }
  const std::string& f_User_nm_Mei() const { return Text(Field::Mei); }
  bool m_EntryFlg() const { return entryFlg_; }

 private:
  std::string GetKanriNo() const;
  std::string& text(Field f) { return texts_[static_cast<int>(f)]; }

  std::array<std::string, kFieldCount> texts_;
  State state_ = State::Editing;
  bool entryFlg_ = false;
};

}  // namespace th::forms

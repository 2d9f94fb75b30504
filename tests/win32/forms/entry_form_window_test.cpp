// The entry form's window on a (virtual) display, driven from a second thread
// that shares the form's input state, as another window taking the
// activation would.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <thread>

#include "forms/manual_input.h"
#include "platform/win32/entry_form_view.h"
#include "platform/win32/unicode.h"

namespace th::win32 {
namespace {

constexpr int kFirstNumberBox = 1003, kThirdNumberBox = 1007;

std::wstring Text(HWND h) {
  wchar_t text[64] = {};
  GetWindowTextW(h, text, 64);
  return text;
}

TEST(EntryFormWindow, LeavingTheFormAndComingBackKeepsTheTextAndTypingGoesOn) {
  std::wstring beforeLeaving, afterComingBack;
  std::thread user([&] {
    HWND form = nullptr;
    for (int i = 0; i < 200 && !form; ++i, Sleep(50)) form = FindWindowW(nullptr, Wide(forms::kEntryCaption).c_str());
    if (!form) return;
    AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(form, nullptr), TRUE);
    // Once the form has put the focus in its first box, it is ready.
    for (int i = 0; i < 200 && GetFocus() != GetDlgItem(form, kFirstNumberBox); ++i) Sleep(50);
    HWND box = GetDlgItem(form, kThirdNumberBox);
    SetFocus(box);
    SendMessageW(box, WM_CHAR, 'a', 0);
    beforeLeaving = Text(box);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    SetForegroundWindow(form);
    SetActiveWindow(form);
    SendMessageW(box, WM_CHAR, '1', 0);
    SendMessageW(box, WM_CHAR, '2', 0);
    afterComingBack = Text(box);
    DestroyWindow(other);
    PostMessageW(form, WM_CLOSE, 0, 0);
  });
  ShowEntryForm();
  user.join();
  EXPECT_EQ(beforeLeaving, L"a");
  EXPECT_EQ(afterComingBack, L"a12");
}

TEST(EntryFormWindow, HiraganaModeKeepsTheUsersOtherInputModes) {
  HWND box = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(box, nullptr);
  HIMC context = ImmGetContext(box);
  ASSERT_NE(context, nullptr);
  ImmSetConversionStatus(context, IME_CMODE_ROMAN | IME_CMODE_KATAKANA | IME_CMODE_NATIVE, IME_SMODE_PHRASEPREDICT);
  ImeOnHiragana(box);
  DWORD conversion = 0, sentence = 0;
  ImmGetConversionStatus(context, &conversion, &sentence);
  EXPECT_EQ(conversion, static_cast<DWORD>(IME_CMODE_ROMAN | IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
  EXPECT_EQ(sentence, static_cast<DWORD>(IME_SMODE_PHRASEPREDICT));
  EXPECT_TRUE(ImmGetOpenStatus(context));
  ImmReleaseContext(box, context);
  DestroyWindow(box);
}

}  // namespace
}  // namespace th::win32

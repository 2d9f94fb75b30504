#pragma once
// The Win32 window of fManualInput.
#include <windows.h>

#include "platform/ui.h"

namespace th::win32 {

// Shows the entry form modally and returns its values as they stood when it
// ended: the entered values after OK, those of an empty form otherwise.
platform::EntryResult ShowEntryForm();

// Opens the box's input method in full-shape hiragana, keeping its other modes.
void ImeOnHiragana(HWND box);

}  // namespace th::win32

#pragma once
// The Win32 window of fManualInput.
#include "platform/ui.h"

namespace th::win32 {

// Shows the entry form modally and returns its values as they stood when it
// ended: the entered values after OK, those of an empty form otherwise.
platform::EntryResult ShowEntryForm();

}  // namespace th::win32

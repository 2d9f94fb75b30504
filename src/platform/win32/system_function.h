#pragma once
// Functions that Windows 7 lacks, looked up at run time, and the system DLLs
// that hold them, loaded from the system folder by full path.
#include <windows.h>

#include "platform/reading.h"
#include "platform/win32/scoped_handle.h"

namespace th::win32 {

using ScopedLibrary = ScopedResource<ClosedWith<HMODULE, &FreeLibrary>>;

// The function `name` of `module` as type Fn; nullptr where it has none.
template <class Fn>
Fn SystemFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through void(*)(): a function pointer of another type, on purpose.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Loads `dll` ("tbs.dll") from the system folder, never searched for; empty
// when this Windows has none.
ScopedLibrary LoadSystemLibrary(const wchar_t* dll);

// A Windows error code as the reason a fact was not read: a missing file,
// key or value is unsupported here.
platform::Unread UnreadFromError(DWORD error);

}  // namespace th::win32

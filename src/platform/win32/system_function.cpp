#include "platform/win32/system_function.h"

#include <string>

namespace th::win32 {

ScopedLibrary LoadSystemLibrary(const wchar_t* dll) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ScopedLibrary();
  const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
  // What the DLL needs in turn is looked for in its own folder first (the
  // altered search order), even where Windows 7 lacks SetDefaultDllDirectories.
  return ScopedLibrary(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

platform::Unread UnreadFromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_PROC_NOT_FOUND:
    case ERROR_CALL_NOT_IMPLEMENTED:
      return platform::kUnsupported;
    case ERROR_ACCESS_DENIED:
      return platform::kDenied;
    default:
      return platform::ErrorCode(error);
  }
}

}  // namespace th::win32

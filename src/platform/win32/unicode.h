#pragma once
// UTF-8 <-> UTF-16 at the Windows API boundary, and error descriptions.
#include <windows.h>

#include <string>
#include <string_view>

namespace th::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// The system's description of an error code, without its trailing line end.
std::string Describe(DWORD error);
// Throws th::Failure with the description of GetLastError().
[[noreturn]] void ThrowLastError();
[[noreturn]] void ThrowError(DWORD error);

}  // namespace th::win32

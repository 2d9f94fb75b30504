#pragma once
// UTF-8 <-> UTF-16 at the Windows API boundary, and error descriptions.
#include <windows.h>

#include <string>
#include <string_view>

namespace th::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// The system's text for an error code or HRESULT without its trailing line
// end; empty when it has none.
std::wstring SystemMessage(DWORD code);
// The system's description of an error code, or "エラー <code>".
std::string Describe(DWORD error);
// A SID as text ("S-1-5-21-..."); throws Failure when it cannot be converted.
std::string SidText(PSID sid);
// Throws th::Failure with the description of GetLastError().
[[noreturn]] void ThrowLastError();
[[noreturn]] void ThrowError(DWORD error);

}  // namespace th::win32

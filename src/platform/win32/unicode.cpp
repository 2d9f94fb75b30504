#include "platform/win32/unicode.h"

#include <sddl.h>

#include "platform/failure.h"
#include "platform/win32/scoped_handle.h"

namespace th::win32 {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring SystemMessage(DWORD code) {
  ScopedLocalMemory text;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
  std::wstring w = n ? std::wstring(static_cast<const wchar_t*>(text.get()), n) : std::wstring();
  while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ')) w.pop_back();
  return w;
}

std::string Describe(DWORD error) {
  const std::wstring w = SystemMessage(error);
  if (w.empty()) return "エラー " + std::to_string(error);
  return Utf8(w);
}

void ThrowError(DWORD error) {
  throw Failure(Describe(error));
}
void ThrowLastError() { ThrowError(GetLastError()); }

std::string SidText(PSID sid) {
  ScopedLocalMemory text;
  if (!ConvertSidToStringSidW(sid, reinterpret_cast<LPWSTR*>(text.put()))) ThrowLastError();
  return Utf8(static_cast<const wchar_t*>(text.get()));
}

}  // namespace th::win32

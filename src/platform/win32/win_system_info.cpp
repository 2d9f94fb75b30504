#include "platform/win32/win_system_info.h"

#include <windows.h>

#include <vector>

#include "platform/failure.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/system_random.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

std::string WinSystemInfo::computerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return Utf8(std::wstring_view(name, size));
}

std::string WinSystemInfo::computerNameEx(int format) {
  const auto kind = static_cast<COMPUTER_NAME_FORMAT>(format);
  DWORD size = 0;
  GetComputerNameExW(kind, nullptr, &size);  // asks for the length it needs
  if (size == 0) return {};
  std::wstring w(size, L'\0');
  if (!GetComputerNameExW(kind, w.data(), &size)) return {};
  w.resize(size);
  return Utf8(w);
}

std::optional<std::string> WinSystemInfo::environment(const std::string& name) {
  const std::wstring n = Wide(name);
  const DWORD size = GetEnvironmentVariableW(n.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring w(size, L'\0');
  const DWORD got = GetEnvironmentVariableW(n.c_str(), w.data(), size);
  if (got == 0 || got >= size) return std::string();
  w.resize(got);
  return Utf8(w);
}

std::uint64_t WinSystemInfo::randomNumber() {
  std::uint64_t n = 0;
  SystemRandom(&n, sizeof n);
  return n;
}

std::string WinSystemInfo::userSid() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) ThrowLastError();
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // asks for the size it needs
  std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);  // aligned for the pointers in it
  if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) ThrowLastError();
  return SidText(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid);
}

}  // namespace th::win32

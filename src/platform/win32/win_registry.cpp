#include "platform/win32/win_registry.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/system_function.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

using platform::Reading;

// The 64-bit view: a 32-bit process on 64-bit Windows would otherwise read
// SOFTWARE's 32-bit copy (Wow6432Node). 32-bit Windows ignores the flag.
constexpr REGSAM kRead = KEY_READ | KEY_WOW64_64KEY;

class WinRegistryKey : public platform::RegistryKey {
 public:
  WinRegistryKey(ScopedRegKey key, platform::CodePage& codePage) : key_(std::move(key)), codePage_(codePage) {}

  // The ANSI calls on purpose: a value is read into the same 256-byte buffer,
  // so a longer value does not fit, whatever the platform's Unicode length.
  std::optional<std::string> readText(const std::string& name) override {
    char buffer[256] = {};
    DWORD type = REG_SZ;
    DWORD size = sizeof buffer;
    const std::string ansiName = codePage_.toAnsi(name);
    if (RegQueryValueExA(key_.get(), ansiName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    return codePage_.fromAnsi(std::string_view(buffer, strnlen(buffer, sizeof buffer)));
  }

  Reading<std::string> readString(const std::string& name) override {
    const std::wstring wideName = Wide(name);
    DWORD type = 0, size = 0;
    LONG status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
    std::wstring data;
    for (int attempt = 0; status == ERROR_SUCCESS; ++attempt) {
      if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
        return platform::ErrorCode(ERROR_DATATYPE_MISMATCH);
      }
      data.assign(size / sizeof(wchar_t) + 1, L'\0');
      DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
      status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                &got);
      if (status == ERROR_SUCCESS) {
        data.resize(got / sizeof(wchar_t));
        while (!data.empty() && data.back() == L'\0') data.pop_back();
        std::replace(data.begin(), data.end(), L'\0', L' ');  // a multi-string's separators
        return Utf8(data);
      }
      if (status == ERROR_MORE_DATA && attempt < 2) {  // the value grew between the calls: ask again
        status = ERROR_SUCCESS;
        size = got;
      }
    }
    return UnreadFromError(static_cast<DWORD>(status));
  }

  Reading<std::uint32_t> readDword(const std::string& name) override {
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG status =
        RegQueryValueExW(key_.get(), Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value) return static_cast<std::uint32_t>(value);
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) return platform::ErrorCode(ERROR_DATATYPE_MISMATCH);
    return UnreadFromError(static_cast<DWORD>(status));
  }

  Reading<std::vector<std::string>> subkeyNames() override {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
      wchar_t name[256];  // a key's name has at most 255 characters
      DWORD length = 256;
      const LONG status = RegEnumKeyExW(key_.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) return names;
      if (status != ERROR_SUCCESS) return UnreadFromError(static_cast<DWORD>(status));
      names.push_back(Utf8(std::wstring_view(name, length)));
    }
  }

 private:
  ScopedRegKey key_;
  platform::CodePage& codePage_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> WinRegistry::openLocalMachine(const std::string& path) {
  ScopedRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, codePage_.toAnsi(path).c_str(), 0, kRead, key.put()) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<WinRegistryKey>(std::move(key), codePage_);
}

Reading<std::unique_ptr<platform::RegistryKey>> WinRegistry::readLocalMachine(const std::string& path) {
  ScopedRegKey key;
  const LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, kRead, key.put());
  if (status != ERROR_SUCCESS) return UnreadFromError(static_cast<DWORD>(status));
  return std::unique_ptr<platform::RegistryKey>(std::make_unique<WinRegistryKey>(std::move(key), codePage_));
}

}  // namespace th::win32

#include "platform/win32/win_registry.h"

#include <windows.h>

#include "platform/win32/scoped_handle.h"

namespace th::win32 {

namespace {

// The ANSI calls on purpose: a value is read into the same 256-byte buffer,
// so a longer value does not fit, whatever the platform's Unicode length.
class WinRegistryKey : public platform::RegistryKey {
 public:
  WinRegistryKey(ScopedRegKey key, platform::CodePage& codePage) : key_(std::move(key)), codePage_(codePage) {}

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

 private:
  ScopedRegKey key_;
  platform::CodePage& codePage_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> WinRegistry::openLocalMachine(const std::string& path) {
  ScopedRegKey key;
  // The 64-bit view: a 32-bit process on 64-bit Windows would otherwise read
  // SOFTWARE's 32-bit copy (Wow6432Node). 32-bit Windows ignores the flag.
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, codePage_.toAnsi(path).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<WinRegistryKey>(std::move(key), codePage_);
}

}  // namespace th::win32

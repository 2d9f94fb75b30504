#pragma once
#include <memory>
#include <optional>
#include <string>

namespace th::platform {

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;  // closes the key
  // A text value, at most 256 bytes with its terminating zero, in UTF-8 and
  // cut at its first zero byte; nullopt when it cannot be read.
  virtual std::optional<std::string> readText(const std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens a key under HKEY_LOCAL_MACHINE for reading; nullptr when not opened.
  virtual std::unique_ptr<RegistryKey> openLocalMachine(const std::string& path) = 0;
};

}  // namespace th::platform

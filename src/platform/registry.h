#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/reading.h"

namespace th::platform {

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;  // closes the key
  // A text value, at most 256 bytes with its terminating zero, in UTF-8 and
  // cut at its first zero byte; nullopt when it cannot be read.
  virtual std::optional<std::string> readText(const std::string& name) = 0;
  // A text value of any length in UTF-8 (a multi-string's strings joined by
  // blanks); a missing value is unsupported, one of another type an error.
  virtual Reading<std::string> readString(const std::string& name) = 0;
  // A DWORD value; a missing value is unsupported, one of another type an error.
  virtual Reading<std::uint32_t> readDword(const std::string& name) = 0;
  // The names of the key's subkeys, in the registry's order.
  virtual Reading<std::vector<std::string>> subkeyNames() = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens a key under HKEY_LOCAL_MACHINE for reading; nullptr when not opened.
  virtual std::unique_ptr<RegistryKey> openLocalMachine(const std::string& path) = 0;
  // The same, telling why a key was not opened: a missing key is unsupported.
  virtual Reading<std::unique_ptr<RegistryKey>> readLocalMachine(const std::string& path) = 0;
};

}  // namespace th::platform

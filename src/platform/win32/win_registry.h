#pragma once
#include "platform/codepage.h"
#include "platform/registry.h"

namespace th::win32 {

class WinRegistry : public platform::Registry {
 public:
  explicit WinRegistry(platform::CodePage& codePage) : codePage_(codePage) {}
  std::unique_ptr<platform::RegistryKey> openLocalMachine(const std::string& path) override;
  platform::Reading<std::unique_ptr<platform::RegistryKey>> readLocalMachine(const std::string& path) override;

 private:
  platform::CodePage& codePage_;
};

}  // namespace th::win32

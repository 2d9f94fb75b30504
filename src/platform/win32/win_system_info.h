#pragma once
// The computer-name and environment seam on Windows.
#include "platform/system_info.h"

namespace th::win32 {

class WinSystemInfo : public platform::SystemInfo {
 public:
  std::string computerName() override;
  std::string computerNameEx(int format) override;
  std::optional<std::string> environment(const std::string& name) override;
  std::uint64_t randomNumber() override;
  std::string userSid() override;
};

}  // namespace th::win32

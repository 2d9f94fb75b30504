#pragma once
#include "platform/wmi.h"

namespace th::win32 {

class WinWmi : public platform::Wmi {
 public:
  std::unique_ptr<platform::WmiConnection> connect(const std::string& moniker) override;
};

}  // namespace th::win32

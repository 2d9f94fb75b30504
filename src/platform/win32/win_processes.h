#pragma once
#include "platform/processes.h"

namespace th::win32 {

class WinProcesses : public platform::Processes {
 public:
  std::unique_ptr<platform::RunningProcess> start(const std::string& commandLine, platform::ShowWindow show) override;
};

}  // namespace th::win32

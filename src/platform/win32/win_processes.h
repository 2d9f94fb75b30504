#pragma once
#include "platform/processes.h"

namespace th::win32 {

class WinProcesses : public platform::Processes {
 public:
  std::unique_ptr<platform::RunningProcess> start(platform::SystemProgram program, const std::string& commandLine,
                                                  platform::ShowWindow show, const std::string& currentFolder) override;
};

}  // namespace th::win32

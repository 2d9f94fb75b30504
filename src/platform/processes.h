#pragma once
#include <memory>
#include <string>

namespace th::platform {

// Windows show-window states used by the program.
enum ShowWindow : int { kHide = 0, kShowNormal = 1, kShowMinimized = 2 };

class RunningProcess {
 public:
  virtual ~RunningProcess() = default;
  // Returns once the process has ended, dispatching the program's window
  // messages meanwhile so its windows stay painted.
  virtual void waitPumping() = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a command line unchanged; throws Failure when it cannot start.
  virtual std::unique_ptr<RunningProcess> start(const std::string& commandLine, ShowWindow show) = 0;
};

}  // namespace th::platform

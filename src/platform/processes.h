#pragma once
#include <memory>
#include <string>

namespace th::platform {

// Windows show-window states used by the program.
enum ShowWindow : int { kHide = 0, kShowNormal = 1, kShowMinimized = 2 };

// The only programs the program starts: always the system's own copy, found
// in the Windows folders, never one beside the program or in the current folder.
enum class SystemProgram { kCmd, kExplorer };

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
  // Starts `program` with the command line unchanged, in `currentFolder`
  // (empty: the system folder; either way one that other users cannot
  // write). cmd is told not to look for commands in its current folder.
  // Throws Failure when it cannot start.
  virtual std::unique_ptr<RunningProcess> start(SystemProgram program, const std::string& commandLine,
                                                ShowWindow show, const std::string& currentFolder) = 0;
};

}  // namespace th::platform

#include <spawn.h>
#include <sys/wait.h>

#include "platform/browser.h"

extern char** environ;

namespace th::platform {

// xdg-open returns once it has handed the file on, so it is waited for.
bool OpenInBrowser(const std::string& path) {
  const char* argv[] = {"xdg-open", path.c_str(), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace th::platform

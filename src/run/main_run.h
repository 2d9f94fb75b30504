#pragma once
#include <string_view>

#include "platform/platform.h"
#include "run/working_files.h"
#include "support/run_context.h"

namespace th {

// One whole run, from the single-instance check to the clean-up. Returning
// from Main ends the program.
class RunSequence {
 public:
  explicit RunSequence(platform::Platform& os) : ctx_(os) {}

  // A Failure that no procedure handled ends the run on its error path here.
  // Any other exception is a programming error: it passes through, for the
  // program's last-resort handler to end the run with EndOnErrorPath under
  // its own description, not as if a file had failed.
  void Main();
  // The error path: one Error.Log entry under "Main" with the description,
  // then the record file and the working files deleted.
  void EndOnErrorPath(std::string_view description);

 private:
  void Run();

  RunContext ctx_;
  WorkingFiles files_;
};

}  // namespace th

#pragma once
// Runs one step of a procedure that handles its own failures: a failure is
// written to Error.Log under the procedure's name and the caller goes on.
// Only Failure is caught: anything else is a programming error, which must
// not pass for a failed step; it ends the run on its error path instead.
#include <string_view>
#include <type_traits>

#include "platform/failure.h"
#include "platform/filesystem.h"
#include "support/error_log.h"

namespace th {

template <class Step>
bool Guarded(RunContext& ctx, std::string_view procedure, Step&& step) {
  try {
    step();
    return true;
  } catch (const Failure& e) {
    WriteErrorLog(ctx, procedure, e.what());
    return false;
  }
}

// Runs a step whose failure is of no consequence to the caller, and drops
// the failure without a log entry: a Failure it throws, or the outcome it
// returns. True when the step went through. Say at the call why it may fail.
template <class Step>
bool IgnoreFailure(Step&& step) {
  try {
    if constexpr (std::is_same_v<std::invoke_result_t<Step>, platform::FileOutcome>) {
      return step().done();
    } else {
      step();
      return true;
    }
  } catch (const Failure&) {
    return false;
  }
}

}  // namespace th

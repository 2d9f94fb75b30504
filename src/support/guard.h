#pragma once
// Runs one step of a procedure that handles its own failures: a failure is
// written to Error.Log under the procedure's name and the caller goes on.
#include <exception>
#include <string_view>

#include "support/error_log.h"

namespace th {

template <class Step>
bool Guarded(RunContext& ctx, std::string_view procedure, Step&& step) {
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    WriteErrorLog(ctx, procedure, e.what());
    return false;
  }
}

// Runs a step whose failure is of no consequence to the caller, and drops
// the failure without a log entry. True when the step went through.
template <class Step>
bool IgnoreFailure(Step&& step) {
  try {
    step();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace th

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

}  // namespace th

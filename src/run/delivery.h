#pragma once
// Copying the record file to its destination, checking the copy, and the
// final notice.
#include <string>

#include "support/run_context.h"

namespace th {

// Two copy tries; always true. `failure`, when given, receives the last
// try's failure (empty when a copy went through).
bool CopyFileRetry(RunContext& ctx, const std::string& source, const std::string& destination,
                   std::string* failure = nullptr);
bool VerifyCopy(RunContext& ctx, const std::string& source, const std::string& copy);
// Sets another PC's file of the same number aside, makes up to ten
// copy-and-check attempts, then closes the start notice and shows
// the final notice (and opens the destination folder on success). A delivery
// that fails leaves one Error.Log entry.
void Deliver(RunContext& ctx);

}  // namespace th

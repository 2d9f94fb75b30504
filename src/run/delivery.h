#pragma once
// Copying the record file to its destination, checking the copy, and the
// final notice.
#include <string>

#include "support/run_context.h"

namespace th {

bool CopyFileRetry(RunContext& ctx, const std::string& source, const std::string& destination);
bool VerifyCopy(RunContext& ctx, const std::string& source, const std::string& copy);
// Sets another PC's file of the same number aside, makes up to ten
// copy-and-check attempts, then closes the start notice and shows
// the final notice (and opens the destination folder on success).
void Deliver(RunContext& ctx);

}  // namespace th

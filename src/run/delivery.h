#pragma once
// Copying the record file to its destination, checking the copy, and the
// final notice.
#include <string>

#include "support/run_context.h"

namespace th {

// Copies, and when that fails tries once more after letting pending window
// events run: the outcome of the copy that went through, or of the second try.
platform::FileOutcome CopyFileRetry(RunContext& ctx, const std::string& source, const std::string& destination);
bool VerifyCopy(RunContext& ctx, const std::string& source, const std::string& copy);
// Sets another PC's file of the same number aside, makes up to ten
// copy-and-check attempts, then closes the start notice and shows
// the final notice (and opens the destination folder on success). A delivery
// that fails leaves one Error.Log entry.
void Deliver(RunContext& ctx);

}  // namespace th

#pragma once
// Copying the record file to its destination, checking the copy, and the
// final notice.
#include <memory>
#include <string>

#include "support/run_context.h"

namespace th {

// Copies into a file created new, and when that fails tries once more after
// letting pending window events run: the copy that went through, or the
// second try's outcome.
platform::FileValue<std::unique_ptr<platform::NewCopy>> CopyFileRetry(RunContext& ctx, const std::string& source,
                                                                      const std::string& destination);
// True when the source is there and the copy the run made holds its bytes.
bool VerifyCopy(RunContext& ctx, const std::string& source, platform::NewCopy& copy);
// Makes way for the report (SetAsideEarlierFile), makes up to ten
// copy-and-check attempts, then closes the start notice and shows the final
// notice (and opens the destination folder on success). A delivery that
// fails leaves one Error.Log entry, and so does an Explorer that cannot start.
void Deliver(RunContext& ctx);

}  // namespace th

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
// Makes the report whole under a name of its own beside the destination (up
// to ten attempts of copy, flush, check and close), then puts it in place in
// one rename: over this PC's own earlier report, or into the name another
// file was set aside from (SetAsideEarlierFile). Then closes the start notice
// and shows the final notice, opening the destination folder on success
// unless something in it would make Explorer reach out to another computer.
// Every step that fails leaves one Error.Log entry.
void Deliver(RunContext& ctx);

}  // namespace th

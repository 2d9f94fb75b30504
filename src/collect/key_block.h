#pragma once
// The record file's creation, its header and key block, and the output folder.
#include <string>

#include "platform/wmi.h"
#include "support/run_context.h"

namespace th {

// Creates the record file, writes its header, the run's date-time record
// (which fixes Renewalday) and the enabled network adapters' records. Every
// failing step is logged and skipped: always true.
bool GetKey(RunContext& ctx);
// The desktop's "SAVE\" when the marker DAT\Desktop.txt lies beside the
// program, otherwise ".\SAVE\"; created before it is returned.
std::string GetOutputFolder(RunContext& ctx);
// Creates every missing folder along a path ending in "\"; the current
// folder is as it was afterwards. True when the folder exists.
bool MakeFolderPath(RunContext& ctx, const std::string& path);
// A new empty file in the run's private working folder; empty when none was made.
std::string MakeTempFile(RunContext& ctx, const std::string& prefix);
// The value as a number when it reads as one, otherwise the fallback.
double NumOrDefault(RunContext& ctx, const platform::PropertyValue& value, double fallback);
double NumOrDefault(RunContext& ctx, const std::string& text, double fallback);

}  // namespace th

#pragma once
// Error.Log: one timestamped, TAB-separated line per failure. The log never
// fails its caller: its callers are failure handlers already.
#include <string>
#include <string_view>

#include "support/run_context.h"

namespace th {

void SetLogFile(RunContext& ctx, const std::string& path);
// Appends "YYYY/MM/DD HH:NN:SS " + text when logging is enabled.
void WriteLog(RunContext& ctx, const std::string& text);
// TAB, computer name, TAB, procedure, the seven record fields (each trimmed
// of spaces, each after a TAB), TAB, description.
std::string ErrorEntryText(RunContext& ctx, std::string_view procedure, std::string_view description);
void WriteErrorLog(RunContext& ctx, std::string_view procedure, std::string_view description);

}  // namespace th

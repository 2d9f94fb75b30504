#pragma once
// The record file's creation, its header and key block, and the output folder.
#include <string>

#include "platform/wmi.h"
#include "run/run_context.h"

namespace th {

bool GetKey(RunContext& ctx);
std::string GetOutputFolder(RunContext& ctx);
bool MakeFolderPath(RunContext& ctx, const std::string& path);
std::string MakeTempFile(RunContext& ctx, const std::string& prefix);
double NumOrDefault(RunContext& ctx, const platform::PropertyValue& value, double fallback);

}  // namespace th

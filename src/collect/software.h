#pragma once
// Installed applications, from the registry dump that RegScan.CMD writes.
#include <string>
#include <string_view>

#include "support/run_context.h"

namespace th {

// One "Soft"/"Application" record per uninstall entry of the dump that has a
// display name, no parent and is no update; then deletes the dump.
void SoftCheck(RunContext& ctx, const std::string& dumpPath);
// The data part of a reg query value line: what follows the type token,
// trimmed; empty when there is no type token or nothing after it.
std::string RegLineData(const std::string& line);
// True for the display names of updates: "KB" or "(KB) " followed by six digits.
bool IsUpdateName(std::string_view displayName);

}  // namespace th

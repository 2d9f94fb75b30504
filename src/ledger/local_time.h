#pragma once
// The local time as the database writes it.
#include <ctime>
#include <string>

namespace th::ledger {

// `when` in local time, by strftime's `format` ('YYYY-MM-DD HH:MM:SS' by default).
std::string LocalTimeText(std::time_t when, const char* format = "%Y-%m-%d %H:%M:%S");

}  // namespace th::ledger

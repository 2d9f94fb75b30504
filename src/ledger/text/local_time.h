#pragma once
// The local time as the database writes it, and the calendar its dates are
// read by.
#include <ctime>
#include <string>

namespace th::ledger {

// `when` in local time, by strftime's `format` ('YYYY-MM-DD HH:MM:SS' by default).
std::string LocalTimeText(std::time_t when, const char* format = "%Y-%m-%d %H:%M:%S");

// Whether year-month-day is a day of the Gregorian calendar (29 February in
// leap years only).
bool IsRealDay(int year, int month, int day);

}  // namespace th::ledger

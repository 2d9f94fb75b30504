#pragma once
// Small text helpers shared across the program.
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace th {

// Removes leading and trailing spaces (U+0020 only; tabs stay).
std::string TrimSpaces(std::string_view s);
bool StartsWith(std::string_view s, std::string_view prefix);
bool Contains(std::string_view s, std::string_view part);

// Replaces every occurrence, rescanning from the start after each change, so
// occurrences formed by the joining are replaced too. Throws Failure
// (overflow) for texts longer than 32,767 characters.
std::string ReplaceAll(std::string text, std::string_view search, std::string_view replacement);
std::string RemoveAll(std::string text, std::string_view search);

// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view utf8);
// The first `count` characters of a UTF-8 text (never half a character).
std::string FirstChars(std::string_view utf8, std::size_t count);

// A text that must stay on one line: each line break (CR LF, CR or LF)
// becomes one blank, and with `tabs` each TAB too.
std::string OnOneLine(std::string_view text, bool tabs);

// "yyyy/mm/dd" and "hh:nn:ss".
std::string FormatDate(const platform::LocalTime& t);
std::string FormatTime(const platform::LocalTime& t);

}  // namespace th

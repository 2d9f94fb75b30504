#pragma once
// Text tests and number formatting for the form boxes (UTF-8 texts).
#include <string>
#include <string_view>

#include "support/text.h"

namespace th::forms {

// Empty after removing leading and trailing blanks (half- and full-width
// spaces: the name boxes type in full-width by default).
bool IsBlank(std::string_view s);
// A number is one or more plain ASCII digits and nothing else.
bool IsNumber(std::string_view s);
// The decimal value of a digit text written with at least `width` digits
// (leading zeros); the digits are never converted, so no length overflows.
std::string ZeroPad(std::string_view digits, std::size_t width);
// The digits of the number at the start of s (after blanks), "0" when none.
std::string LeadingNumber(std::string_view s);
// The first character's code point and its length in bytes.
char32_t FirstChar(std::string_view s);
std::size_t FirstCharBytes(std::string_view s);

}  // namespace th::forms

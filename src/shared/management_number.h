#pragma once
// The management number as the entry form builds it: three lower-case
// letters, two digits and four characters (four digits, or one letter and
// three digits), joined by "-", e.g. abc-05-0012 or abc-05-a012.
#include <string_view>

namespace th::forms {

inline bool IsManagementNumber(std::string_view s) {
  auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
  auto letter = [&](char c) { return lower(c) || (c >= 'A' && c <= 'Z'); };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (s.size() != 11 || s[3] != '-' || s[6] != '-') return false;
  if (!lower(s[0]) || !lower(s[1]) || !lower(s[2]) || !digit(s[4]) || !digit(s[5])) return false;
  if (!digit(s[7]) && !letter(s[7])) return false;
  return digit(s[8]) && digit(s[9]) && digit(s[10]);
}

}  // namespace th::forms

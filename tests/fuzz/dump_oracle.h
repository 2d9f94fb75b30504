#pragma once
// How a registry dump reads, written out for the fuzz targets apart from the
// collector, so that they check it against a second reading, not against itself.
#include <string>
#include <string_view>

namespace th::fuzz {

inline std::string TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

// A value line's data: whatever follows the type token ("REG_" and the
// characters up to its first blank), without the blanks around it.
inline std::string DataOf(std::string_view line) {
  std::size_t at = line.find("REG_");
  if (at == std::string_view::npos) return "";
  while (at < line.size() && line[at] != ' ') ++at;
  return TrimBlanks(line.substr(at));
}

inline bool SixDigitsAt(std::string_view s, std::size_t at) {
  if (s.size() < at + 6) return false;
  for (std::size_t i = at; i < at + 6; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return true;
}

// "*KB######*" or "*(KB) ######*".
inline bool LooksLikeUpdate(std::string_view name) {
  for (std::size_t i = 0; i + 2 <= name.size(); ++i) {
    if (name.substr(i, 2) != "KB") continue;
    if (SixDigitsAt(name, i + 2)) return true;
    if (i > 0 && name[i - 1] == '(' && name.substr(i + 2, 2) == ") " && SixDigitsAt(name, i + 4)) return true;
  }
  return false;
}

// A record field as the record line holds it: no double quote, no comma, no
// blanks around it (a value from one dump line holds no line break).
inline std::string AsRecordField(std::string_view value) {
  std::string kept;
  for (char c : value) {
    if (c != '"' && c != ',') kept += c;
  }
  return TrimBlanks(kept);
}

}  // namespace th::fuzz

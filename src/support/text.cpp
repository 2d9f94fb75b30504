#include "support/text.h"

#include <cstdio>

#include "platform/failure.h"

namespace th {

namespace {

constexpr std::size_t kMaxShortText = 32767;  // range of the 16-bit positions

void CheckRange(std::string_view text) {
  if (text.size() > kMaxShortText && CharCount(text) > kMaxShortText) {
    throw Failure("オーバーフローしました。");
  }
}

}  // namespace

std::string TrimSpaces(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool Contains(std::string_view s, std::string_view part) {
  return s.find(part) != std::string_view::npos;
}

std::string ReplaceAll(std::string text, std::string_view search, std::string_view replacement) {
  CheckRange(text);
  if (search.empty()) return text;
  for (std::size_t at = text.find(search); at != std::string::npos; at = text.find(search)) {
    text.replace(at, search.size(), replacement);
    CheckRange(text);
  }
  return text;
}

std::string RemoveAll(std::string text, std::string_view search) {
  return ReplaceAll(std::move(text), search, "");
}

std::size_t CharCount(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string FirstChars(std::string_view utf8, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t chars = 0; at < utf8.size(); ++at) {
    if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && chars++ == count) break;
  }
  return std::string(utf8.substr(0, at));
}

std::string OnOneLine(std::string_view text, bool tabs) {
  std::string s;
  s.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' && i > 0 && text[i - 1] == '\r') continue;
    s += c == '\r' || c == '\n' || (tabs && c == '\t') ? ' ' : c;
  }
  return s;
}

std::string FormatDate(const platform::LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.year, t.month, t.day);
  return buf;
}

std::string FormatTime(const platform::LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

}  // namespace th

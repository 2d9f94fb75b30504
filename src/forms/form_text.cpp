#include "forms/form_text.h"

namespace th::forms {

namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

}  // namespace

bool IsBlank(std::string_view s) {
  while (!s.empty()) {
    if (s.front() == ' ') {
      s.remove_prefix(1);
    } else if (s.starts_with(kIdeographicSpace)) {
      s.remove_prefix(kIdeographicSpace.size());
    } else {
      return false;
    }
  }
  return true;
}

bool IsNumber(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string ZeroPad(std::string_view digits, std::size_t width) {
  const std::size_t first = digits.find_first_not_of('0');
  std::string value(first == std::string_view::npos ? std::string_view("0") : digits.substr(first));
  if (value.size() < width) value.insert(0, width - value.size(), '0');
  return value;
}

std::string LeadingNumber(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  std::size_t e = b;
  while (e < s.size() && s[e] >= '0' && s[e] <= '9') ++e;
  return e == b ? "0" : std::string(s.substr(b, e - b));
}

std::size_t FirstCharBytes(std::string_view s) {
  if (s.empty()) return 0;
  const auto lead = static_cast<unsigned char>(s[0]);
  std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return n > s.size() ? s.size() : n;
}

char32_t FirstChar(std::string_view s) {
  const std::size_t n = FirstCharBytes(s);
  if (n == 0) return 0;
  const auto lead = static_cast<unsigned char>(s[0]);
  if (n == 1) return lead;
  char32_t c = lead & (0xFF >> (n + 1));
  for (std::size_t i = 1; i < n; ++i) c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
  return c;
}

}  // namespace th::forms

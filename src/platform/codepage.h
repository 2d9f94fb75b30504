#pragma once
// The system's ANSI code page (932 on the Japanese systems served). The core
// keeps UTF-8 and converts only where text meets a file or an "A" API.
#include <optional>
#include <string>
#include <string_view>

namespace th::platform {

class CodePage {
 public:
  virtual ~CodePage() = default;
  // Characters the code page cannot hold become "?", or on Windows a
  // look-alike where it has one ("¦" becomes "|").
  virtual std::string toAnsi(std::string_view utf8) = 0;
  // Invalid or truncated sequences become U+FFFD.
  virtual std::string fromAnsi(std::string_view ansi) = 0;
  // The whole text decoded, or nothing when any sequence is invalid (for
  // readers that must refuse a garbled file rather than repair it). The code
  // page has no U+FFFD of its own, so a replacement marks a bad sequence.
  virtual std::optional<std::string> fromAnsiStrict(std::string_view ansi) {
    std::string utf8 = fromAnsi(ansi);
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos) return std::nullopt;
    return utf8;
  }
};

}  // namespace th::platform

#pragma once
// The system's ANSI code page (932 on the Japanese systems served). The core
// keeps UTF-8 and converts only where text meets a file or an "A" API.
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
};

}  // namespace th::platform

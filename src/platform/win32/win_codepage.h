#pragma once
#include "platform/codepage.h"

namespace th::win32 {

// The system's ANSI code page (CP_ACP, 0), or the one given.
class WinCodePage : public platform::CodePage {
 public:
  explicit WinCodePage(unsigned codePage = 0) : codePage_(codePage) {}
  std::string toAnsi(std::string_view utf8) override;
  std::string fromAnsi(std::string_view ansi) override;
  std::optional<std::string> fromAnsiStrict(std::string_view ansi) override;

 private:
  unsigned codePage_;
};

}  // namespace th::win32

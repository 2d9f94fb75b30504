#pragma once
#include "platform/codepage.h"

namespace th::win32 {

// The system's ANSI code page (CP_ACP).
class WinCodePage : public platform::CodePage {
 public:
  std::string toAnsi(std::string_view utf8) override;
  std::string fromAnsi(std::string_view ansi) override;
};

}  // namespace th::win32

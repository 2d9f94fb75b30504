#pragma once
// Code page 932 through iconv, for the native build.
#include "platform/codepage.h"

namespace th::platform {

class IconvCodePage : public CodePage {
 public:
  std::string toAnsi(std::string_view utf8) override;
  std::string fromAnsi(std::string_view ansi) override;
};

}  // namespace th::platform

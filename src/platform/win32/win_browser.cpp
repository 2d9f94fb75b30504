#include <windows.h>
#include <shellapi.h>

#include "platform/browser.h"
#include "platform/win32/unicode.h"

namespace th::platform {

bool OpenInBrowser(const std::string& path) {
  // ShellExecute answers with a value above 32 when it started the handler.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", win32::Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace th::platform

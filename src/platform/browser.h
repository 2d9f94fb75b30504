#pragma once
// Opening a file in the user's default browser.
#include <string>

namespace th::platform {

// Hands the file (UTF-8 path) to the desktop's handler for it without
// waiting for the browser; false when no handler could be started.
bool OpenInBrowser(const std::string& path);

}  // namespace th::platform

#pragma once

namespace th::win32 {

// Dispatches the window messages waiting for this thread, then returns.
void PumpPendingMessages();

}  // namespace th::win32

#pragma once
// Milliseconds from the high-resolution counter, for the bench's Windows programs.
#include <windows.h>

namespace bench {

inline double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticksPerMs;
}

}  // namespace bench

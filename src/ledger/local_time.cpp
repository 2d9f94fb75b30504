#include "ledger/local_time.h"

namespace th::ledger {

std::string LocalTimeText(std::time_t when, const char* format) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &when);
#else
  localtime_r(&when, &tm);
#endif
  char buf[64];
  const std::size_t n = std::strftime(buf, sizeof buf, format, &tm);
  return std::string(buf, n);
}

}  // namespace th::ledger

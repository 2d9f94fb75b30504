#include "support/random_name.h"

#include <cstdio>

namespace th {

std::string RandomHex(platform::Platform& os) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(os.system.randomNumber()));
  return hex;
}

}  // namespace th

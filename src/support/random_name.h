#pragma once
// Parts of names that other users must not be able to guess in advance.
#include <string>

#include "platform/platform.h"

namespace th {

// 16 upper-case hex digits from the system's random generator.
std::string RandomHex(platform::Platform& os);

}  // namespace th

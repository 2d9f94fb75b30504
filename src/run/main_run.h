#pragma once
#include "platform/platform.h"

namespace th {

// One whole run, from the single-instance check to the clean-up. Returning
// from it ends the program.
void Main(platform::Platform& os);

}  // namespace th

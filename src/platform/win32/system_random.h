#pragma once
// The system's cryptographic random generator.
#include <cstddef>

namespace th::win32 {

// Fills `buffer` from BCryptGenRandom; throws Failure when the generator
// cannot be reached or refuses.
void SystemRandom(void* buffer, std::size_t size);

}  // namespace th::win32

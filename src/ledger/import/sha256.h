#pragma once
// SHA-256 of a file's bytes, as 64 lower-case hex digits: the content key
// that makes importing the same file twice a no-op.
#include <string>
#include <string_view>

namespace th::ledger {

// kAuto takes the processor's SHA instructions where it has them (several
// times faster); kPortable never does, so both can be checked on one machine.
enum class Sha256Engine { kAuto, kPortable };

std::string Sha256Hex(std::string_view bytes, Sha256Engine engine = Sha256Engine::kAuto);

}  // namespace th::ledger

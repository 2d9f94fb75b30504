#pragma once
// SHA-256 of a file's bytes, as 64 lower-case hex digits: the content key
// that makes importing the same file twice a no-op.
#include <string>
#include <string_view>

namespace th::ledger {

std::string Sha256Hex(std::string_view bytes);

}  // namespace th::ledger

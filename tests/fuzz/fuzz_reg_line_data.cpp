// The data part of one reg query line, and the update-name test, on
// arbitrary text, against a reading of their own.
#include <cstdint>
#include <string>

#include "collect/software.h"
#include "dump_oracle.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(th::RegLineData(line) == th::fuzz::DataOf(line));
  FUZZ_CHECK(th::IsUpdateName(line) == th::fuzz::LooksLikeUpdate(line));
  return 0;
}

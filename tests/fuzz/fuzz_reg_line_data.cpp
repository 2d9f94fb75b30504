// The data part of one reg query line, and the update-name test, on
// arbitrary text.
#include <cstdint>
#include <string>

#include "collect/software.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::string value = th::RegLineData(line);

  const std::size_t type = line.find("REG_");
  if (type == std::string::npos) {
    FUZZ_CHECK(value.empty());
  } else if (!value.empty()) {
    FUZZ_CHECK(value.front() != ' ' && value.back() != ' ');
    // The data is the line's tail after the type token and its blank, trimmed.
    const std::size_t at = line.rfind(value);
    FUZZ_CHECK(at != std::string::npos && at > type);
    FUZZ_CHECK(line.find_first_not_of(' ', at + value.size()) == std::string::npos);
    const std::size_t blank = line.find(' ', type);
    FUZZ_CHECK(blank != std::string::npos && blank < at);
    FUZZ_CHECK(line.find_first_not_of(' ', blank) == at);
  }

  // An update name keeps being one whatever surrounds it.
  if (th::IsUpdateName(line)) {
    FUZZ_CHECK(line.find("KB") != std::string::npos);
    FUZZ_CHECK(th::IsUpdateName("x" + line + "x"));
  }
  return 0;
}

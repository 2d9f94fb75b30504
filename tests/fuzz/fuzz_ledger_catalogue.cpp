// The catalogue file on arbitrary bytes (any of the encodings it reads):
// refused as no catalogue, or read into products that hold together, each
// value read or said as a problem.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "ledger/catalogue/catalogue_file.h"
#include "platform/posix/iconv_codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static th::platform::IconvCodePage codePage;
  th::ledger::Catalogue c;
  try {
    c = th::ledger::ParseCatalogue(std::string_view(reinterpret_cast<const char*>(data), size), codePage);
  } catch (const std::runtime_error&) {
    return 0;
  }
  for (const auto& p : c.patterns) {
    if (p.product >= c.products.size() || p.pattern.empty()) std::abort();
  }
  for (const auto& p : c.products) {
    if (p.name.empty() || (p.licences && *p.licences < 0)) std::abort();
    if (!p.endOfSupport.empty() && (p.endOfSupport.size() != 10 || p.endOfSupport[4] != '-')) std::abort();
  }
  for (const auto& p : c.problems) {
    if (p.line < 2 || p.column.empty() || p.reason.empty()) std::abort();
  }
  return 0;
}

#include "ledger/text/decode_memo.h"

namespace th::ledger {

const DecodeMemo::Entry& DecodeMemo::Lookup(std::string_view character) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
  Entry& e = table_[character.size() == 2 ? std::size_t{byte(0)} << 8 | byte(1) : 0x10000 + byte(0)];
  if (e.state != Entry::kUnknown) return e;
  const std::optional<std::string> decoded = system_.fromAnsiStrict(character);
  if (!decoded || decoded->empty()) {
    e.state = Entry::kInvalid;
  } else if (decoded->size() > e.utf8.size()) {
    e.state = Entry::kLong;  // never in code page 932; asked each time if it were
  } else {
    e.state = Entry::kValid;
    e.size = static_cast<unsigned char>(decoded->size());
    decoded->copy(e.utf8.data(), decoded->size());
  }
  return e;
}

std::optional<std::string> DecodeMemo::fromAnsiStrict(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 2);
  std::size_t i = 0;
  while (i < ansi.size()) {
    const std::size_t j = platform::AsciiRunEnd(ansi, i);
    out.append(ansi, i, j - i);
    for (i = j; i < ansi.size() && static_cast<unsigned char>(ansi[i]) >= 0x80;) {
      const std::size_t length = platform::IsCp932LeadByte(static_cast<unsigned char>(ansi[i])) && i + 1 < ansi.size() ? 2 : 1;
      const std::string_view character = ansi.substr(i, length);
      const Entry& e = Lookup(character);
      if (e.state == Entry::kInvalid) return std::nullopt;
      if (e.state == Entry::kValid) out.append(e.utf8.data(), e.size);
      else out += *system_.fromAnsiStrict(character);
      i += length;
    }
  }
  return out;
}

}  // namespace th::ledger

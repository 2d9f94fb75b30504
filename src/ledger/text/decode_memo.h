#pragma once
// Code page 932 decoded a character at a time through a table that the
// system's own decoder fills, once for each distinct character met. The code
// page has no state, so the result is the system's for the whole text; only
// its cost per call (a run of Japanese text in every field) goes.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace th::ledger {

class DecodeMemo final : public platform::CodePage {
 public:
  explicit DecodeMemo(platform::CodePage& system) : system_(system) {}
  std::string toAnsi(std::string_view utf8) override { return system_.toAnsi(utf8); }
  std::string fromAnsi(std::string_view ansi) override { return system_.fromAnsi(ansi); }
  std::optional<std::string> fromAnsiStrict(std::string_view ansi) override;

 private:
  struct Entry {
    enum : unsigned char { kUnknown, kValid, kInvalid, kLong } state = kUnknown;
    unsigned char size = 0;
    std::array<char, 6> utf8{};
  };
  // A character's entry: one byte, or a lead byte and the byte after it.
  const Entry& Lookup(std::string_view character);

  platform::CodePage& system_;
  std::vector<Entry> table_ = std::vector<Entry>(0x10000 + 0x100);  // pairs, then single bytes
};

}  // namespace th::ledger

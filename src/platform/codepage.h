#pragma once
// The system's ANSI code page (932 on the Japanese systems served). The core
// keeps UTF-8 and converts only where text meets a file or an "A" API.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace th::platform {

// A code page 932 lead byte takes the byte after it into its character,
// whatever that byte is (a trail byte may look like ASCII).
inline bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Where the run of ASCII from `from` ends: ASCII reads the same in code page
// 932 and UTF-8, so decoders copy such runs as they are.
inline std::size_t AsciiRunEnd(std::string_view text, std::size_t from) {
  while (from < text.size() && static_cast<unsigned char>(text[from]) < 0x80) ++from;
  return from;
}

class CodePage {
 public:
  virtual ~CodePage() = default;
  // Characters the code page cannot hold become "?", or on Windows a
  // look-alike where it has one ("¦" becomes "|").
  virtual std::string toAnsi(std::string_view utf8) = 0;
  // Invalid or truncated sequences become U+FFFD.
  virtual std::string fromAnsi(std::string_view ansi) = 0;
  // The whole text decoded, or nothing when any sequence is invalid (for
  // readers that must refuse a garbled file rather than repair it). The code
  // page has no U+FFFD of its own, so a replacement marks a bad sequence.
  virtual std::optional<std::string> fromAnsiStrict(std::string_view ansi) {
    std::string utf8 = fromAnsi(ansi);
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos) return std::nullopt;
    return utf8;
  }
};

}  // namespace th::platform

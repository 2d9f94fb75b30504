#include "platform/win32/win_codepage.h"

#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

// Appends the text's characters; false (appending nothing) when a sequence
// is malformed.
bool DecodeExactly(unsigned codePage, std::string_view ansi, std::wstring& out) {
  const int size = static_cast<int>(ansi.size());
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), size, nullptr, 0);
  if (n <= 0) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(n));
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), size, out.data() + at, n);
  return true;
}

}  // namespace

std::string WinCodePage::toAnsi(std::string_view utf8) {
  const std::wstring w = Wide(utf8);
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(codePage_, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, "?", nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage_, 0, w.data(), static_cast<int>(w.size()), s.data(), n, "?", nullptr);
  return s;
}

std::string WinCodePage::fromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  std::wstring w;
  if (DecodeExactly(codePage_, ansi, w)) return Utf8(w);
  // Malformed somewhere. Left to itself the codec would take a cut-off
  // character's next byte (a comma, a blank) along: go one character at a
  // time instead, each bad byte becoming U+FFFD on its own.
  w.clear();
  for (std::size_t i = 0; i < ansi.size();) {
    const bool lead = IsDBCSLeadByteEx(codePage_, static_cast<BYTE>(ansi[i])) && i + 1 < ansi.size();
    const std::size_t length = lead ? 2 : 1;
    if (DecodeExactly(codePage_, ansi.substr(i, length), w)) {
      i += length;
    } else {
      w += L'\xFFFD';
      ++i;
    }
  }
  return Utf8(w);
}

std::optional<std::string> WinCodePage::fromAnsiStrict(std::string_view ansi) {
  std::wstring w;
  if (!ansi.empty() && !DecodeExactly(codePage_, ansi, w)) return std::nullopt;
  return Utf8(w);
}

}  // namespace th::win32

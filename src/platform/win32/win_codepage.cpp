#include "platform/win32/win_codepage.h"

#include "platform/win32/unicode.h"

namespace th::win32 {

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
  const int n = MultiByteToWideChar(codePage_, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage_, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), n);
  return Utf8(w);
}

std::optional<std::string> WinCodePage::fromAnsiStrict(std::string_view ansi) {
  if (ansi.empty()) return std::string();
  const int n = MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()),
                                    nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), w.data(), n);
  return Utf8(w);
}

}  // namespace th::win32

#include "platform/posix/iconv_codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace th::platform {

namespace {

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts, handing the input from each unconvertible spot on to `bad`,
  // which returns how many input bytes to skip and appends its replacement.
  template <class OnBad>
  std::string run(std::string_view in, OnBad bad) {
    std::string out;
    out.reserve(in.size() * 2);
    append(in, out, bad);
    return out;
  }

  template <class OnBad>
  void append(std::string_view in, std::string& out, OnBad bad) {
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buf[4096];
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        const std::size_t skip = std::min(left, bad(std::string_view(src, left), out));
        src += skip;
        left -= skip;
      }
    }
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string IconvCodePage::toAnsi(std::string_view utf8) {
  thread_local Converter c("CP932", "UTF-8");
  return c.run(utf8, [](std::string_view rest, std::string& out) {
    const std::size_t n = Utf8Length(static_cast<unsigned char>(rest[0]));
    // Only the continuation bytes that are there belong to the character: a
    // cut-off sequence must not swallow the comma or line end after it.
    std::size_t len = 1;
    while (len < n && len < rest.size() && (static_cast<unsigned char>(rest[len]) & 0xC0) == 0x80) ++len;
    out += len == 4 ? "??" : "?";  // as Windows does: one "?" per UTF-16 unit
    return len;
  });
}

std::string IconvCodePage::fromAnsi(std::string_view ansi) {
  thread_local Converter c("UTF-8", "CP932");
  const auto bad = [](std::string_view, std::string& out) {
    out += "\xEF\xBF\xBD";
    return std::size_t{1};
  };
  // ASCII fills most record files: it is copied as it is, and only the runs
  // of other characters go through iconv, whose per-character cost is high.
  // A run never ends inside a character.
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 2);
  std::size_t i = 0;
  while (i < ansi.size()) {
    const std::size_t j = AsciiRunEnd(ansi, i);
    out.append(ansi.substr(i, j - i));
    std::size_t k = j;
    while (k < ansi.size() && static_cast<unsigned char>(ansi[k]) >= 0x80) {
      k += IsCp932LeadByte(static_cast<unsigned char>(ansi[k])) && k + 1 < ansi.size() ? 2 : 1;
    }
    if (k > j) c.append(ansi.substr(j, k - j), out, bad);
    i = k;
  }
  return out;
}

}  // namespace th::platform

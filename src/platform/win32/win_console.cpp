#include <windows.h>

#include <conio.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

#include "platform/console.h"

namespace th::platform {

namespace {

// UTF-8 text for a console, written as UTF-16 through WriteConsoleW: right
// whatever the console's code page (Windows 7's console garbles code page
// 65001), which stays as the user had it.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(buffer_, buffer_ + sizeof buffer_); }

 protected:
  int_type overflow(int_type c) override {
    write();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    write();
    return 0;
  }

 private:
  // Writes the complete UTF-8 sequences held; the start of one whose rest
  // has not come yet stays for the next write.
  void write() {
    const std::size_t held = static_cast<std::size_t>(pptr() - pbase());
    std::size_t whole = held;
    std::size_t continuation = 0;
    while (continuation < 3 && continuation < held &&
           (static_cast<unsigned char>(buffer_[held - 1 - continuation]) & 0xC0) == 0x80) {
      ++continuation;
    }
    if (continuation < held) {
      const auto lead = static_cast<unsigned char>(buffer_[held - 1 - continuation]);
      const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (length > continuation + 1) whole = held - 1 - continuation;
    }
    if (whole > 0) {
      std::wstring wide(whole, L'\0');  // never more UTF-16 units than UTF-8 bytes
      const int n = MultiByteToWideChar(CP_UTF8, 0, buffer_, static_cast<int>(whole), wide.data(),
                                        static_cast<int>(wide.size()));
      for (int done = 0; done < n;) {
        DWORD written = 0;
        if (!WriteConsoleW(console_, wide.data() + done, static_cast<DWORD>(n - done), &written, nullptr) ||
            written == 0) {
          break;  // a console that takes nothing more: the text is lost, as a closed pipe's would be
        }
        done += static_cast<int>(written);
      }
    }
    std::char_traits<char>::move(buffer_, buffer_ + whole, held - whole);
    setp(buffer_, buffer_ + sizeof buffer_);
    pbump(static_cast<int>(held - whole));
  }

  HANDLE console_;
  char buffer_[4096];
};

void WriteToConsole(DWORD which, std::ostream& stream) {
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return;  // redirected
  stream.flush();
  // Never freed: the standard streams are flushed at exit, after static objects are gone.
  stream.rdbuf(new ConsoleBuffer(handle));
  stream.setf(std::ios::unitbuf);  // in order with the other stream, as a console shows them
}

}  // namespace

void PrepareConsole() {
  WriteToConsole(STD_OUTPUT_HANDLE, std::cout);
  WriteToConsole(STD_ERROR_HANDLE, std::cerr);
}

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

bool OwnsConsole() {
  DWORD ids[2];
  return GetConsoleProcessList(ids, 2) == 1;
}

void WaitForKey() { _getch(); }

}  // namespace th::platform

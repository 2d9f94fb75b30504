#pragma once
// A stream buffer that compresses what is written through it (zlib's format,
// which the browser's DecompressionStream("deflate") inflates) and writes the
// result to another stream as text an HTML page can hold: base 85, every four
// bytes as five of the characters kDeflateTextDigits lists (printable ASCII
// without < > & \ " ' `, so no run of them ends a script element), and a last
// group of n < 4 bytes as n + 1 characters. A fifth larger than base64.
// The report's data is several times smaller so, and never held whole.
#include <zlib.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace th::ledger {

extern const char kDeflateTextDigits[86];

class DeflateText : public std::streambuf {
 public:
  DeflateText(std::ostream& out, int level);
  ~DeflateText() override;
  DeflateText(const DeflateText&) = delete;
  DeflateText& operator=(const DeflateText&) = delete;
  // Ends the compressed stream and writes its last group; nothing may
  // be written after.
  void Finish();

 protected:
  int_type overflow(int_type c) override;

 private:
  void Deflate(int flush);
  void Encode(const unsigned char* data, std::size_t size);
  std::ostream& out_;
  z_stream z_{};
  std::vector<char> in_;
  std::vector<unsigned char> packed_;
  unsigned char carry_[4] = {};  // bytes waiting for a whole group
  std::size_t carried_ = 0;
  std::string text_;
  bool finished_ = false;
};

}  // namespace th::ledger

#include "ledger/report/deflate_text.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>

namespace th::ledger {
namespace {

constexpr std::size_t kChunk = 1 << 16;
// Four bytes, most significant first, as five digits.
void Group(std::string& out, const unsigned char* b, std::size_t chars) {
  std::uint32_t v = std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
  char digits[5];
  for (int i = 4; i >= 0; --i, v /= 85) digits[i] = kDeflateTextDigits[v % 85];
  out.append(digits, chars);
}

}  // namespace

const char kDeflateTextDigits[86] =
    "!#$%()*+,-./0123456789:;=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|";

DeflateText::DeflateText(std::ostream& out, int level) : out_(out), in_(kChunk), packed_(kChunk) {
  if (deflateInit(&z_, level) != Z_OK) throw std::bad_alloc();
  setp(in_.data(), in_.data() + in_.size());
}

DeflateText::~DeflateText() { deflateEnd(&z_); }

DeflateText::int_type DeflateText::overflow(int_type c) {
  if (finished_) return traits_type::eof();
  Deflate(Z_NO_FLUSH);
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

void DeflateText::Finish() {
  if (finished_) return;
  Deflate(Z_FINISH);
  finished_ = true;
  if (carried_ > 0) {
    unsigned char last[4] = {};
    std::copy_n(carry_, carried_, last);
    text_.clear();
    Group(text_, last, carried_ + 1);
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  }
}

// Compresses what was written since the last call, encoding what comes out.
void DeflateText::Deflate(int flush) {
  z_.next_in = reinterpret_cast<Bytef*>(pbase());
  z_.avail_in = static_cast<uInt>(pptr() - pbase());
  int result = Z_OK;
  do {
    z_.next_out = packed_.data();
    z_.avail_out = static_cast<uInt>(packed_.size());
    result = deflate(&z_, flush);
    if (result == Z_STREAM_ERROR) throw std::logic_error("deflate: stream error");
    Encode(packed_.data(), packed_.size() - z_.avail_out);
  } while (z_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  setp(in_.data(), in_.data() + in_.size());
}

void DeflateText::Encode(const unsigned char* data, std::size_t size) {
  text_.clear();
  std::size_t i = 0;
  if (carried_ > 0) {
    while (carried_ < 4 && i < size) carry_[carried_++] = data[i++];
    if (carried_ < 4) return;
    Group(text_, carry_, 5);
    carried_ = 0;
  }
  for (; i + 4 <= size; i += 4) Group(text_, data + i, 5);
  while (i < size) carry_[carried_++] = data[i++];
  out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
}

}  // namespace th::ledger

#include "platform/chunked_line_reader.h"

namespace th::platform {

bool ChunkedLineReader::next(std::string& line) {
  line.clear();
  if (peek() < 0) return false;
  while (true) {
    if (pos_ == len_ && !fill()) return true;  // last line without an end
    const char* start = buf_ + pos_;
    const char* end = buf_ + len_;
    const char* stop = start;
    while (stop < end && *stop != '\r' && *stop != '\n') ++stop;
    line.append(start, stop);
    pos_ = static_cast<std::size_t>(stop - buf_);
    if (stop == end) continue;
    ++pos_;
    if (*stop == '\r' && peek() == '\n') ++pos_;
    return true;
  }
}

int ChunkedLineReader::peek() {
  if (pos_ == len_ && !fill()) return -1;
  return static_cast<unsigned char>(buf_[pos_]);
}

bool ChunkedLineReader::fill() {
  len_ = read(buf_, sizeof buf_);
  pos_ = 0;
  return len_ > 0;
}

}  // namespace th::platform

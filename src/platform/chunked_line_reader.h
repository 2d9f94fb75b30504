#pragma once
// Splits a byte stream into lines ending in CR LF, LF or CR, through a fixed
// 64 KiB buffer, so a file of any size is read in constant memory. A file
// system supplies only the reads.
#include <cstddef>
#include <string>

#include "platform/filesystem.h"

namespace th::platform {

class ChunkedLineReader : public LineReader {
 public:
  bool next(std::string& line) override;

 protected:
  // Reads up to `size` bytes; 0 at the end of the stream. Throws Failure
  // when the read fails.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;

 private:
  int peek();
  bool fill();

  char buf_[64 * 1024];
  std::size_t pos_ = 0, len_ = 0;
};

}  // namespace th::platform

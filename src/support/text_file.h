#pragma once
// Text files of the program: code page 932 with CR LF on disk, UTF-8 inside.
// The conversion happens here and nowhere else.
#include <memory>
#include <string>

#include "platform/platform.h"

namespace th {

// Appends one line and its CR LF.
platform::FileOutcome AppendTextLine(platform::Platform& os, const std::string& path, const std::string& line);
// Appends text (already holding its line ends) in one write.
platform::FileOutcome AppendText(platform::Platform& os, const std::string& path, const std::string& text);
// Creates a file that must be new and writes text that must reach it exactly
// (commands); a character the code page would replace or approximate fails
// it (kFailed) before anything is created. `securityDescriptor` as
// FileSystem::writeNewFile takes it.
platform::FileOutcome WriteNewExactText(platform::Platform& os, const std::string& path, const std::string& text,
                                        const std::string& securityDescriptor);

// Reads a text file line by line, decoding each line.
class TextReader {
 public:
  // Opens the file; `opened()` tells whether it could be, `outcome()` why not.
  TextReader(platform::Platform& os, const std::string& path);
  bool opened() const { return lines_ != nullptr; }
  const platform::FileOutcome& outcome() const { return outcome_; }
  // False at the end, and at once when the file was not opened; throws
  // Failure when a read fails.
  bool next(std::string& line);

 private:
  platform::CodePage& codePage_;
  platform::FileOutcome outcome_;
  std::unique_ptr<platform::LineReader> lines_;
  std::string raw_;
};

}  // namespace th

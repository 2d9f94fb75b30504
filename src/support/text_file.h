#pragma once
// Text files of the program: code page 932 with CR LF on disk, UTF-8 inside.
// The conversion happens here and nowhere else.
#include <memory>
#include <string>

#include "platform/platform.h"

namespace th {

// Appends one line and its CR LF; throws Failure when the file cannot be opened.
void AppendTextLine(platform::Platform& os, const std::string& path, const std::string& line);
// Appends text (already holding its line ends) in one write.
void AppendText(platform::Platform& os, const std::string& path, const std::string& text);
// Creates a file that must be new and writes text that must reach it exactly
// (commands); a character the code page would replace or approximate fails
// it (kFailed) before anything is created.
platform::CreateOutcome WriteNewExactText(platform::Platform& os, const std::string& path, const std::string& text);

// Reads a text file line by line, decoding each line.
class TextReader {
 public:
  // Throws Failure when the file cannot be opened.
  TextReader(platform::Platform& os, const std::string& path);
  // False at the end; throws Failure when a read fails.
  bool next(std::string& line);

 private:
  platform::CodePage& codePage_;
  std::unique_ptr<platform::LineReader> lines_;
  std::string raw_;
};

}  // namespace th

#include "support/text_file.h"

#include "platform/failure.h"

namespace th {

void AppendTextLine(platform::Platform& os, const std::string& path, const std::string& line) {
  AppendText(os, path, line + "\r\n");
}

void AppendText(platform::Platform& os, const std::string& path, const std::string& text) {
  os.fs.append(path, os.codePage.toAnsi(text));
}

namespace {

constexpr const char* kNotInCodePage = "コード ページで表せない文字があります。";

bool InCodePage(platform::Platform& os, const std::string& text, std::string& bytes) {
  bytes = os.codePage.toAnsi(text);
  return os.codePage.fromAnsi(bytes) == text;
}

}  // namespace

platform::CreateOutcome WriteNewExactText(platform::Platform& os, const std::string& path, const std::string& text) {
  std::string bytes;
  if (!InCodePage(os, text, bytes)) return {platform::Creation::kFailed, kNotInCodePage};
  return os.fs.writeNewFile(path, bytes);
}

TextReader::TextReader(platform::Platform& os, const std::string& path)
    : codePage_(os.codePage), lines_(os.fs.openLines(path)) {}

bool TextReader::next(std::string& line) {
  if (!lines_->next(raw_)) return false;
  line = codePage_.fromAnsi(raw_);
  return true;
}

}  // namespace th

#include "support/text_file.h"

namespace th {

platform::FileOutcome AppendTextLine(platform::Platform& os, const std::string& path, const std::string& line) {
  return AppendText(os, path, line + "\r\n");
}

platform::FileOutcome AppendText(platform::Platform& os, const std::string& path, const std::string& text) {
  return os.fs.append(path, os.codePage.toAnsi(text));
}

namespace {

constexpr const char* kNotInCodePage = "コード ページで表せない文字があります。";

bool InCodePage(platform::Platform& os, const std::string& text, std::string& bytes) {
  bytes = os.codePage.toAnsi(text);
  return os.codePage.fromAnsi(bytes) == text;
}

}  // namespace

platform::FileOutcome WriteNewExactText(platform::Platform& os, const std::string& path, const std::string& text) {
  std::string bytes;
  if (!InCodePage(os, text, bytes)) return {platform::FileResult::kFailed, kNotInCodePage};
  return os.fs.writeNewFile(path, bytes);
}

TextReader::TextReader(platform::Platform& os, const std::string& path) : codePage_(os.codePage) {
  auto opened = os.fs.openLines(path);
  outcome_ = std::move(opened.outcome);
  if (outcome_.done()) lines_ = std::move(opened.value);
}

bool TextReader::next(std::string& line) {
  if (!lines_ || !lines_->next(raw_)) return false;
  line = codePage_.fromAnsi(raw_);
  return true;
}

}  // namespace th

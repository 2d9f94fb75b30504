#include "support/text_file.h"

namespace th {

platform::FileOutcome AppendTextLine(platform::Platform& os, const std::string& path, const std::string& line) {
  return AppendText(os, path, line + "\r\n");
}

platform::FileOutcome AppendText(platform::Platform& os, const std::string& path, const std::string& text) {
  return os.fs.append(path, os.codePage.toAnsi(text));
}

platform::FileOutcome WriteNewExactText(platform::Platform& os, const std::string& path, const std::string& text,
                                        const std::string& securityDescriptor) {
  const std::string bytes = os.codePage.toAnsi(text);
  if (os.codePage.fromAnsi(bytes) != text) return {platform::FileResult::kFailed, "コード ページで表せない文字があります。"};
  return os.fs.writeNewFile(path, bytes, securityDescriptor);
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

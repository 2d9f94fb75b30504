#include "support/text_file.h"

namespace th {

void AppendTextLine(platform::Platform& os, const std::string& path, const std::string& line) {
  AppendText(os, path, line + "\r\n");
}

void AppendText(platform::Platform& os, const std::string& path, const std::string& text) {
  os.fs.append(path, os.codePage.toAnsi(text));
}

platform::CreateOutcome WriteNewExactText(platform::Platform& os, const std::string& path, const std::string& text) {
  const std::string bytes = os.codePage.toAnsi(text);
  if (os.codePage.fromAnsi(bytes) != text) return {platform::Creation::kFailed, "コード ページで表せない文字があります。"};
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

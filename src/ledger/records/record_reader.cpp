#include "ledger/records/record_reader.h"

#include "ledger/text/line_split.h"

namespace th::ledger {

namespace {

std::string LineReason(int line, const char* what, const char* english) {
  return std::to_string(line) + "行目" + what + " / line " + std::to_string(line) + ": " + english;
}

}  // namespace

void ReadRecordFile(std::string_view bytes, platform::CodePage& codePage, RecordFile& out) {
  out.text.clear();
  out.rows.clear();
  out.rejected.clear();
  out.cutShort = false;

  // A write cut off mid-line leaves bytes after the last line end, maybe half
  // a character: that line is left out, the rest is still a record file. A
  // line end byte never occurs inside a double-byte character.
  const std::size_t end = bytes.rfind('\n');
  const std::size_t whole = end == std::string_view::npos ? 0 : end + 1;
  out.cutShort = whole < bytes.size();
  if (whole == 0) {
    out.rejected = bytes.empty() ? "空のファイルです / an empty file" : "見出し行がありません / no header line";
    return;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    out.rejected = "UTF-8（BOM付き）のファイルです。記録ファイルは文字コード932です / a UTF-8 file with BOM, not code page 932";
    return;
  }
  auto decoded = codePage.fromAnsiStrict(bytes.substr(0, whole));
  if (!decoded) {
    out.rejected = "文字コード932として読めないバイトがあります / bytes that are not code page 932";
    return;
  }
  out.text = std::move(*decoded);

  std::string_view rest = out.text;
  if (NextLine(rest) != kRecordHeader) {
    out.rejected = "見出し行が記録ファイルのものではありません / not a record file's header line";
    return;
  }
  // Empty lines at the very end (an editor's) are no records; elsewhere an
  // empty line is a line without seven fields.
  while (rest.size() >= 1 && (rest.back() == '\n' || rest.back() == '\r')) {
    const std::size_t cut = rest.find_last_not_of("\r\n");
    rest = rest.substr(0, cut == std::string_view::npos ? 0 : cut + 1);
  }
  int line = 1;
  while (!rest.empty()) {
    ++line;
    RecordRow row{line, {}};
    if (!SplitRecordLine(NextLine(rest), row.fields)) {
      out.rejected = LineReason(line, "の項目数が7つではありません", "not seven fields");
      out.rows.clear();
      return;
    }
    if (!out.rows.empty() && row.fields[kKey] != out.rows.front().fields[kKey]) {
      out.rejected = LineReason(line, "のKeyが他の行と異なります", "a Key other than the first line's");
      out.rows.clear();
      return;
    }
    out.rows.push_back(row);
  }
  if (out.rows.empty()) {
    out.rejected = "見出し行のほかに記録がありません / no record after the header line";
  } else if (out.key().empty()) {
    out.rejected = "Key（管理番号）が空です / an empty Key (management number)";
    out.rows.clear();
  }
}

}  // namespace th::ledger

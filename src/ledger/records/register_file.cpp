#include "ledger/records/register_file.h"

#include <algorithm>

#include "shared/management_number.h"
#include "ledger/text/line_split.h"
#include "ledger/text/text_fold.h"

namespace th::ledger {

namespace {

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

std::string Trim(std::string_view s) {
  const std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return std::string(s.substr(b, s.find_last_not_of(" \t") - b + 1));
}

}  // namespace

std::vector<std::string> SplitCsvLine(std::string_view line, char separator) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && line[i] != separator && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::string field;
    if (i < line.size() && line[i] == '"') {
      for (++i; i < line.size(); ++i) {
        if (line[i] != '"') {
          field += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      const std::size_t comma = line.find(separator, i);
      i = comma == std::string_view::npos ? line.size() : comma;
    } else {
      const std::size_t comma = line.find(separator, i);
      const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
      field = Trim(line.substr(i, end - i));
      i = end;
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) break;
    ++i;  // the comma
  }
  return fields;
}

std::string DecodeText(std::string_view bytes, platform::CodePage& codePage) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  if (IsUtf8(bytes)) return std::string(bytes);
  return codePage.fromAnsi(bytes);
}

RegisterList ParseRegister(std::string_view bytes, platform::CodePage& codePage) {
  const std::string text = DecodeText(bytes, codePage);
  std::vector<std::string_view> rawLines;
  ForEachLine(text, [&](std::string_view line) { rawLines.push_back(line); });
  // TAB-separated when the first line has a TAB and no comma.
  const std::string_view first = rawLines.empty() ? std::string_view() : rawLines.front();
  const char separator = first.find('\t') != std::string_view::npos && first.find(',') == std::string_view::npos ? '\t' : ',';
  std::vector<std::vector<std::string>> lines;
  for (std::string_view line : rawLines) {
    std::vector<std::string> fields = SplitCsvLine(line, separator);
    if (!FoldName(fields.front()).empty()) lines.push_back(std::move(fields));
  }

  RegisterList list;
  std::size_t begin = 0;
  std::size_t width = 0;
  for (const auto& l : lines) width = std::max(width, l.size());
  if (!lines.empty() && !forms::IsManagementNumber(FoldKey(lines[0][0]))) {
    list.columns.assign(lines[0].begin() + 1, lines[0].end());
    begin = 1;
  }
  for (std::size_t c = list.columns.size() + 1; c < width; ++c) list.columns.push_back("列" + std::to_string(c + 1));
  for (std::size_t i = begin; i < lines.size(); ++i) {
    RegisterList::Row row{FoldKey(lines[i][0]), {lines[i].begin() + 1, lines[i].end()}};
    row.extra.resize(list.columns.size());
    if (forms::IsManagementNumber(row.number)) ++list.validNumbers;
    list.rows.push_back(std::move(row));
  }
  return list;
}

}  // namespace th::ledger

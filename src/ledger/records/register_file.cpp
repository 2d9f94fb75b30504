#include "ledger/records/register_file.h"

#include <algorithm>

#include "shared/management_number.h"
#include "ledger/text/line_split.h"
#include "ledger/text/text_fold.h"
#include "ledger/text/unicode.h"

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

// A first field that names the number column: 管理番号, 資産番号, Number,
// Asset No.
bool NamesNumberColumn(std::string_view key) {
  const auto endsWith = [&](std::string_view end) { return key.size() >= end.size() && key.substr(key.size() - end.size()) == end; };
  return endsWith("番号") || endsWith("number") || endsWith("no") || endsWith("no.");
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
  if (bytes.substr(0, 2) == "\xFF\xFE") return Utf8FromUtf16Le(bytes.substr(2));
  if (IsUtf8(bytes)) return std::string(bytes);
  return codePage.fromAnsi(bytes);
}

RegisterList ParseRegister(std::string_view bytes, platform::CodePage& codePage) {
  const std::string text = DecodeText(bytes, codePage);
  std::vector<std::string_view> rawLines;
  ForEachLine(text, [&](std::string_view line) { rawLines.push_back(line); });
  // TAB-separated when the first line with a separator has a TAB and no comma.
  std::string_view first;
  for (std::string_view line : rawLines) {
    if (line.find_first_of(",\t") != std::string_view::npos) {
      first = line;
      break;
    }
  }
  const char separator = first.find('\t') != std::string_view::npos && first.find(',') == std::string_view::npos ? '\t' : ',';
  struct Line {
    int at;  // in the file, from 1
    std::vector<std::string> fields;
    std::string key;  // the first field folded
  };
  std::vector<Line> lines;
  for (std::size_t i = 0; i < rawLines.size(); ++i) {
    std::vector<std::string> fields = SplitCsvLine(rawLines[i], separator);
    std::string key = FoldKey(fields.front());
    if (!key.empty()) lines.push_back({static_cast<int>(i + 1), std::move(fields), std::move(key)});
  }

  // The headings lie above the first number: the first line naming the
  // number column, else the first line.
  std::size_t firstNumber = 0;
  while (firstNumber < lines.size() && !forms::IsManagementNumber(lines[firstNumber].key)) ++firstNumber;
  std::size_t heading = 0;
  while (heading < firstNumber && !NamesNumberColumn(lines[heading].key)) ++heading;
  if (heading == firstNumber) heading = 0;

  RegisterList list;
  std::size_t begin = 0;
  if (heading < firstNumber) {
    list.columns.assign(lines[heading].fields.begin() + 1, lines[heading].fields.end());
    for (int at = 1; at < lines[heading].at; ++at) list.skippedAbove.push_back(at);
    begin = heading + 1;
  }
  std::size_t width = 0;
  for (std::size_t i = begin; i < lines.size(); ++i) width = std::max(width, lines[i].fields.size());
  for (std::size_t c = list.columns.size() + 1; c < width; ++c) list.columns.push_back("列" + std::to_string(c + 1));
  for (std::size_t i = begin; i < lines.size(); ++i) {
    Line& l = lines[i];
    if (!forms::IsManagementNumber(l.key)) {
      list.notNumbers.emplace_back(l.at, FoldName(l.fields.front()));
      continue;
    }
    RegisterList::Row row{std::move(l.key), {l.fields.begin() + 1, l.fields.end()}};
    row.extra.resize(list.columns.size());
    list.rows.push_back(std::move(row));
  }
  return list;
}

std::vector<std::string> RegisterNotes(const RegisterList& list) {
  std::vector<std::string> notes;
  if (!list.skippedAbove.empty()) {
    const std::string from = std::to_string(list.skippedAbove.front()), to = std::to_string(list.skippedAbove.back());
    const bool one = from == to;
    notes.push_back("台帳の見出しの上の" + from + (one ? "" : "〜" + to) + "行目を読み飛ばしました / skipped the register's line" +
                    (one ? " " + from : "s " + from + "-" + to) + " above its headings");
  }
  if (!list.notNumbers.empty()) {
    const auto& [at, field] = list.notNumbers.front();
    const std::string n = std::to_string(list.notNumbers.size()), line = std::to_string(at);
    const bool one = list.notNumbers.size() == 1;
    notes.push_back("台帳の管理番号でない" + n + "行はPCとして読みません（" + line + "行目「" + field + "」" +
                    (one ? "" : "ほか") + "） / " + n + " line" + (one ? "" : "s") +
                    " of the register without a management number read as no PC (line " + line + ": \"" + field + "\"" +
                    (one ? "" : "...") + ")");
  }
  return notes;
}

}  // namespace th::ledger

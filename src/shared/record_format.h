#pragma once
// The record line's layout, shared by the writer (record_file) and every
// reader of record files: a header, then seven fields joined by "," with
// no quoting (the writer removes commas and quotes from each field).
#include <array>
#include <cstddef>
#include <string_view>

namespace th {

inline constexpr const char* kRecordHeader = "Key,Group,Item,SubItem,Contents,Unit,Renewalday";
inline constexpr std::size_t kRecordFieldCount = 7;

enum RecordField : std::size_t { kKey, kGroup, kItem, kSubItem, kContents, kUnit, kRenewalday };

using RecordFields = std::array<std::string_view, kRecordFieldCount>;

// Splits one line (without its line end) into its seven fields; false when
// the line does not hold exactly six commas.
inline bool SplitRecordLine(std::string_view line, RecordFields& fields) {
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < kRecordFieldCount; ++i) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return false;
    fields[i] = line.substr(start, comma - start);
    start = comma + 1;
  }
  fields[kRecordFieldCount - 1] = line.substr(start);
  return fields[kRecordFieldCount - 1].find(',') == std::string_view::npos;
}

}  // namespace th

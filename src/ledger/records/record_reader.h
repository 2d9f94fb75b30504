#pragma once
// Reads and validates one record file: the header, seven fields per line,
// one Key throughout, bytes that decode in the code page.
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "shared/record_format.h"

namespace th::ledger {

struct RecordRow {
  int line;  // line number in the file; the header is line 1
  RecordFields fields;
};

struct RecordFile {
  std::string text;  // the decoded text, UTF-8; the rows' fields point into it
  std::vector<RecordRow> rows;
  std::string rejected;  // why the file is not a record file; empty when it is
  bool cutShort = false;  // its last line had no line end (a write cut off) and was left out

  std::string_view key() const { return rows.empty() ? std::string_view() : rows.front().fields[kKey]; }
};

// Fills `out` from a file's bytes, reusing its storage.
void ReadRecordFile(std::string_view bytes, platform::CodePage& codePage, RecordFile& out);

}  // namespace th::ledger

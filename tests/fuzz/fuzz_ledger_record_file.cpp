// The ledger's record-file reader and summary on arbitrary bytes: never a
// crash, and what it takes always holds together.
#include <cstdint>
#include <cstdlib>

#include "ledger/records/collection_summary.h"
#include "ledger/records/record_reader.h"
#include "platform/posix/iconv_codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static th::platform::IconvCodePage codePage;
  static th::ledger::RecordFile file;  // reused, as the import reuses it
  th::ledger::ReadRecordFile(std::string_view(reinterpret_cast<const char*>(data), size), codePage, file);
  if (file.rejected.empty() == file.rows.empty()) std::abort();
  int line = 1;
  for (const auto& row : file.rows) {
    if (row.line <= line || row.fields[th::kKey] != file.key()) std::abort();
    line = row.line;
  }
  const th::ledger::CollectionSummary s = th::ledger::Summarise(file);
  if (s.applications > static_cast<int>(file.rows.size())) std::abort();
  return 0;
}

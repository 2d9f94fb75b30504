#include "ledger/exports/exports.h"

#include <fstream>
#include <stdexcept>
#include <vector>

#include "ledger/exports/export_tables.h"
#include "ledger/records/input_files.h"
#include "ledger/text/text_fold.h"

namespace th::ledger {

namespace fs = std::filesystem;

std::string CsvField(std::string_view value) {
  std::string v;
  // A negative whole number ("-3", a shortage) stays a number.
  const bool negativeNumber = value.size() > 1 && value.front() == '-' &&
                              value.find_first_not_of("0123456789", 1) == std::string_view::npos;
  // Leading tab and CR too: spreadsheets skip them and then see the formula.
  // They skip blanks (also full-width ones) and read full-width ＝＋－＠ as
  // the ASCII signs: folded, the start shows what a spreadsheet sees.
  const std::string start = FoldName(value.substr(0, 64));
  if (!negativeNumber && ((!value.empty() && (value.front() == '\t' || value.front() == '\r')) ||
      (!start.empty() && std::string_view("=+-@").find(start.front()) != std::string_view::npos))) {
    v = "'";
  }
  v += value;
  if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
  std::string quoted = "\"";
  for (char c : v) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

namespace {

class CsvFile {
 public:
  CsvFile(const fs::path& path, ExportEncoding encoding, platform::CodePage& codePage)
      : out_(path, std::ios::binary | std::ios::trunc), path_(path), encoding_(encoding), codePage_(codePage) {
    if (!out_) Fail();
    if (encoding_ == ExportEncoding::Utf8Bom) out_ << "\xEF\xBB\xBF";
  }
  void row(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) line += ',';
      line += CsvField(fields[i]);
    }
    line += "\r\n";
    out_ << (encoding_ == ExportEncoding::Cp932 ? codePage_.toAnsi(line) : line);
  }
  void close() {
    out_.close();
    if (!out_) Fail();
  }

 private:
  [[noreturn]] void Fail() { throw std::runtime_error("書き込めません / cannot write: " + Utf8FromPath(path_)); }
  std::ofstream out_;
  fs::path path_;
  ExportEncoding encoding_;
  platform::CodePage& codePage_;
};

}  // namespace

void WriteExports(Database& db, const fs::path& dir, ExportEncoding encoding, platform::CodePage& codePage) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  for (const ExportTable& table : ExportTables(db)) {
    CsvFile csv(dir / table.file, encoding, codePage);
    std::vector<std::string> header;
    for (const ExportColumn& c : table.columns) header.push_back(c.heading);
    csv.row(header);
    ForEachExportRow(db, table, [&](const std::vector<std::string>& fields) { csv.row(fields); });
    csv.close();
  }
}

}  // namespace th::ledger

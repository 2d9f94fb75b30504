#include "ledger/exports.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <vector>

#include "ledger/collection_changes.h"
#include "ledger/input_files.h"
#include "ledger/pc_columns.h"
#include "ledger/text_fold.h"

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
  [[noreturn]] void Fail() { throw std::runtime_error("書き込めません: " + Utf8FromPath(path_)); }
  std::ofstream out_;
  fs::path path_;
  ExportEncoding encoding_;
  platform::CodePage& codePage_;
};

// Writes every row of a query, all columns as text. With `registerColumns`,
// the query's last column is the register's JSON array of further values.
void WriteQuery(Database& db, CsvFile& csv, const char* sql, std::optional<std::size_t> registerColumns = {}) {
  Statement s = db.prepare(sql);
  const int columns = sqlite3_column_count(s.get());
  std::vector<std::string> fields;
  while (s.step()) {
    fields.clear();
    const int plain = registerColumns ? columns - 1 : columns;
    for (int c = 0; c < plain; ++c) fields.push_back(s.text(c));
    if (registerColumns) {
      // The register's further columns, from its JSON array.
      const std::string extra = s.text(columns - 1);
      const auto values = extra.empty() ? nlohmann::json::array() : nlohmann::json::parse(extra, nullptr, false);
      for (std::size_t i = 0; i < *registerColumns; ++i) {
        fields.push_back(values.is_array() && i < values.size() && values[i].is_string() ? values[i].get<std::string>()
                                                                                          : std::string());
      }
    }
    csv.row(fields);
  }
}

std::vector<std::string> RegisterColumns(Database& db) {
  Statement s = db.prepare("SELECT value FROM meta WHERE key = 'register_columns'");
  if (!s.step()) return {};
  const auto columns = nlohmann::json::parse(s.text(0), nullptr, false);
  std::vector<std::string> names;
  if (columns.is_array()) {
    for (const auto& c : columns) names.push_back(c.is_string() ? c.get<std::string>() : std::string());
  }
  return names;
}

}  // namespace

void WriteExports(Database& db, const fs::path& dir, ExportEncoding encoding, platform::CodePage& codePage) {
  std::error_code ec;
  fs::create_directories(dir, ec);

  const std::vector<std::string> extra = RegisterColumns(db);
  CsvFile pcs(dir / "pcs.csv", encoding, codePage);
  std::vector<std::string> header;
  for (const PcColumn& c : PcColumns()) header.push_back(c.heading);
  header.insert(header.end(), extra.begin(), extra.end());
  pcs.row(header);
  const std::string sql = "SELECT " + PcColumnsSql("s") +
                          ", r.extra FROM pc_summary s LEFT JOIN register r ON r.number = s.number ORDER BY s.number";
  WriteQuery(db, pcs, sql.c_str(), extra.size());
  pcs.close();

  CsvFile software(dir / "software.csv", encoding, codePage);
  software.row({"ソフトウェア名", "バージョン", "発行元", "PC数"});
  WriteQuery(db, software, "SELECT name, version, publisher, pcs FROM software ORDER BY pcs DESC, name, version");
  software.close();

  CsvFile installs(dir / "installs.csv", encoding, codePage);
  installs.row({"管理番号", "ソフトウェア名", "バージョン", "発行元"});
  WriteQuery(db, installs,
             "SELECT number, name, version, publisher FROM installs ORDER BY number, name, version, publisher");
  installs.close();

  CsvFile licences(dir / "licences.csv", encoding, codePage);
  licences.row({"製品名", "発行元", "種別", "保有ライセンス数", "導入台数", "過不足", "サポート終了日"});
  WriteQuery(db, licences,
             "SELECT product, publisher, kind_title, owned, installed, balance, end_of_support FROM licences"
             " ORDER BY line");
  licences.close();

  CsvFile changes(dir / "changes.csv", encoding, codePage);
  changes.row({"管理番号", "区分", "項目", "前回", "今回"});
  for (const ChangeRow& c : ChangesOfLastImport(db)) changes.row({c.number, c.category, c.item, c.before, c.now});
  changes.close();
}

}  // namespace th::ledger

#include "ledger/exports/xlsx_export.h"

#include <algorithm>
#include <optional>

#include "ledger/exports/cell_values.h"
#include "ledger/exports/export_tables.h"

namespace th::ledger {

namespace {

constexpr double kMaxWidth = 60;  // wider columns wrap nothing and hide the next ones

// Columns of a monospaced cell: East Asian wide characters take two.
double DisplayWidth(std::string_view s) {
  double width = 0;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp = c;
    int len = 1;
    if (c >= 0xF0) cp = c & 0x07, len = 4;
    else if (c >= 0xE0) cp = c & 0x0F, len = 3;
    else if (c >= 0xC0) cp = c & 0x1F, len = 2;
    for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += len;
    const bool halfWidthKana = cp >= 0xFF61 && cp <= 0xFF9F;
    width += cp >= 0x1100 && !halfWidthKana ? 2 : 1;
    if (width >= kMaxWidth) break;
  }
  return width;
}

class SheetWriter {
 public:
  SheetWriter(XlsxWorkbook& book, const ExportTable& table, std::uint32_t sheetRows, WorkbookResult& result)
      : book_(book), table_(table), sheetRows_(sheetRows), result_(result) {}

  void row(const std::vector<std::string>& fields) {
    if (!sheet_ || row_ + 1 >= sheetRows_) startSheet();
    ++row_;
    for (std::size_t c = 0; c < fields.size() && c < table_.columns.size(); ++c) cell(static_cast<std::uint16_t>(c), fields[c]);
  }

  void finish() {
    if (!sheet_) startSheet();
    endSheet();
  }

 private:
  void startSheet() {
    if (sheet_) endSheet();
    ++part_;
    const std::string name = part_ == 1 ? table_.sheet : table_.sheet + " (" + std::to_string(part_) + ")";
    if (part_ > 1) result_.continuations.push_back(name);
    sheet_.emplace(book_.addSheet(name));
    row_ = 0;
    widths_.assign(table_.columns.size(), 0);
    // Printed pages repeat the columns up to the management number, which
    // names the row.
    std::uint16_t titleColumns = 0;
    for (std::size_t c = 0; c < table_.columns.size(); ++c) {
      if (table_.columns[c].heading == "管理番号") titleColumns = static_cast<std::uint16_t>(c + 1);
    }
    sheet_->printSetup(titleColumns);
    for (std::size_t c = 0; c < table_.columns.size(); ++c) {
      sheet_->text(0, static_cast<std::uint16_t>(c), table_.columns[c].heading, true);
      widths_[c] = DisplayWidth(table_.columns[c].heading) + 3;  // the filter button
    }
  }

  void endSheet() {
    const auto lastCol = static_cast<std::uint16_t>(table_.columns.empty() ? 0 : table_.columns.size() - 1);
    sheet_->headingRow(row_, lastCol);
    for (std::size_t c = 0; c < widths_.size(); ++c) {
      sheet_->width(static_cast<std::uint16_t>(c), std::min(widths_[c], kMaxWidth) + 1);
    }
  }

  void cell(std::uint16_t c, const std::string& value) {
    widths_[c] = std::max(widths_[c], DisplayWidth(value));
    if (value.empty()) return;
    switch (table_.columns[c].kind) {
      case CellKind::Number:
        if (const auto n = ReadWholeNumber(value)) return sheet_->number(row_, c, *n);
        break;
      case CellKind::DateTime:
        if (const auto t = ReadDateTime(value)) {
          return sheet_->dateTime(row_, c, t->y, t->mo, t->d, t->h, t->mi, t->s, t->withTime);
        }
        break;
      case CellKind::Text:
        break;
    }
    if (sheet_->text(row_, c, value)) ++result_.cutCells;
  }

  XlsxWorkbook& book_;
  const ExportTable& table_;
  const std::uint32_t sheetRows_;
  WorkbookResult& result_;
  std::optional<XlsxSheet> sheet_;
  std::uint32_t row_ = 0;
  int part_ = 0;
  std::vector<double> widths_;
};

}  // namespace

WorkbookResult WriteWorkbook(Database& db, const std::string& utf8Path, std::uint32_t sheetRows) {
  WorkbookResult result;
  XlsxWorkbook book(utf8Path);
  for (const ExportTable& table : ExportTables(db)) {
    if (table.sheet.empty()) continue;
    SheetWriter sheet(book, table, sheetRows, result);
    ForEachExportRow(db, table, [&](const std::vector<std::string>& fields) { sheet.row(fields); });
    sheet.finish();
  }
  book.close();
  return result;
}

std::vector<std::string> WorkbookNotes(const WorkbookResult& result, std::uint32_t sheetRows) {
  std::vector<std::string> notes;
  const std::string rows = std::to_string(sheetRows - 1);
  for (const std::string& sheet : result.continuations) {
    notes.push_back("シートの行数の上限（" + rows + " 行）を超えたため「" + sheet + "」に続けました / continued on \"" +
                    sheet + "\" (a sheet holds " + rows + " rows)");
  }
  if (result.cutCells > 0) {
    notes.push_back(std::to_string(result.cutCells) + " 個の値はセルの上限（" + std::to_string(kCellChars) +
                    " 文字）で切りました（CSV には全体があります） / values cut to a cell's " +
                    std::to_string(kCellChars) + " characters (the CSV files hold them whole)");
  }
  return notes;
}

}  // namespace th::ledger

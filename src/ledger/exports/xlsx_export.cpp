#include "ledger/exports/xlsx_export.h"

#include <algorithm>
#include <optional>

#include "ledger/exports/cell_values.h"
#include "ledger/exports/export_tables.h"
#include "ledger/exports/xlsx_summary.h"
#include "ledger/exports/xlsx_win11.h"
#include "ledger/text/local_time.h"

namespace th::ledger {

namespace {

constexpr double kMaxWidth = 60;  // wider text wraps onto further lines
// Text columns may be narrowed to this (and wrap) to print one page wide: a
// date and time (19) keeps its width.
constexpr double kNarrowest = 20;

// A longer text is shortened in the workbook so that its row prints on a
// page (a finding that lists 133 numbers is 5,000 characters); the CSV file
// keeps it whole.
constexpr std::size_t kPrintChars = 300;

std::size_t CharCount(std::string_view s) {
  std::size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The first kPrintChars characters (to the last blank among the final few,
// so that a listed number is not broken), then how long the whole is.
std::string ShortenedForPrint(std::string_view value, std::size_t chars, const std::string& csvFile) {
  std::size_t at = 0;
  for (std::size_t n = 0; at < value.size(); ++at) {
    if ((static_cast<unsigned char>(value[at]) & 0xC0) != 0x80 && n++ == kPrintChars) break;
  }
  const std::size_t blank = value.rfind(' ', at);
  if (blank != std::string_view::npos && at - blank < 40) at = blank;
  return std::string(value.substr(0, at)) + " …（全 " + std::to_string(chars) + " 文字。全体は " + csvFile + "）";
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
    for (std::size_t c = 0; c < table_.columns.size(); ++c) {
      const ExportColumn& column = table_.columns[c];
      const std::string& heading = column.sheetHeading.empty() ? column.heading : column.sheetHeading;
      sheet_->text(0, static_cast<std::uint16_t>(c), heading, CellStyle::Heading);
      widths_[c] = DisplayWidth(heading, kMaxWidth) + 3;  // the filter button
    }
  }

  void endSheet() {
    const auto lastCol = static_cast<std::uint16_t>(table_.columns.empty() ? 0 : table_.columns.size() - 1);
    sheet_->headingRow(row_, lastCol);
    std::vector<double> widths;
    for (double w : widths_) widths.push_back(std::min(w, kMaxWidth) + 1);
    widths = NarrowedToOnePage(std::move(widths), kNarrowest);
    for (std::size_t c = 0; c < widths.size(); ++c) sheet_->width(static_cast<std::uint16_t>(c), widths[c]);
    // Pages wider than one repeat the columns up to the management number,
    // which names the row.
    std::uint16_t titleColumns = 0;
    for (std::size_t c = 0; c < table_.columns.size(); ++c) {
      if (table_.columns[c].heading == "管理番号") titleColumns = static_cast<std::uint16_t>(c + 1);
    }
    sheet_->printSetup(titleColumns);
  }

  void cell(std::uint16_t c, const std::string& value) {
    if (value.empty()) return sheet_->blank(row_, c);
    const CellKind kind = table_.columns[c].kind;
    switch (kind) {
      case CellKind::Number:
      case CellKind::Yen:
        if (const auto n = ReadWholeNumber(value)) {
          widths_[c] = std::max(widths_[c], DisplayWidth(value, kMaxWidth) + (kind == CellKind::Yen ? 2 : 1));
          return sheet_->number(row_, c, *n, kind == CellKind::Yen ? CellStyle::Yen : CellStyle::Number);
        }
        break;
      case CellKind::Decimal:
        if (const auto n = ReadDecimal(value)) {
          widths_[c] = std::max(widths_[c], DisplayWidth(value, kMaxWidth) + 1);
          return sheet_->number(row_, c, *n, CellStyle::Decimal);
        }
        break;
      case CellKind::Kilobytes:
        if (const auto n = ReadWholeNumber(value)) {
          widths_[c] = std::max(widths_[c], 6.0);
          return sheet_->number(row_, c, *n / (1024 * 1024), CellStyle::Decimal);
        }
        break;
      case CellKind::DateTime:
        if (const auto t = ReadDateTime(value)) {
          widths_[c] = std::max(widths_[c], t->withTime ? 19.0 : 10.0);
          return sheet_->dateTime(row_, c, t->y, t->mo, t->d, t->h, t->mi, t->s, t->withTime);
        }
        break;
      case CellKind::Mark:
        widths_[c] = std::max(widths_[c], DisplayWidth(value, kMaxWidth));
        sheet_->text(row_, c, value, CellStyle::Attention);
        return;
      case CellKind::Text:
        break;
    }
    widths_[c] = std::max(widths_[c], DisplayWidth(value, kMaxWidth));
    // Wrapped: the column may yet be narrowed to print (a short text shows
    // on one line all the same).
    const CellStyle style = CellStyle::Wrapped;
    if (value.size() > kPrintChars) {
      if (const std::size_t chars = CharCount(value); chars > kPrintChars) {
        ++result_.shortened;
        sheet_->text(row_, c, ShortenedForPrint(value, chars, table_.file), style);
        return;
      }
    }
    sheet_->text(row_, c, value, style);
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
  XlsxWorkbook book(utf8Path, LocalTimeText(std::time(nullptr), "%Y-%m-%d %H:%M"));
  WriteSummarySheet(db, book);
  for (const ExportTable& table : ExportTables(db)) {
    if (table.sheet.empty()) continue;
    SheetWriter sheet(book, table, sheetRows, result);
    ForEachExportRow(db, table, [&](const std::vector<std::string>& fields) { sheet.row(fields); });
    sheet.finish();
  }
  WriteWin11SummarySheet(db, book);
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
  if (result.shortened > 0) {
    const std::string chars = std::to_string(kPrintChars);
    notes.push_back(std::to_string(result.shortened) + " 個の長い値はブックでは先頭 " + chars +
                    " 文字までにしました（CSV には全体があります） / " + std::to_string(result.shortened) +
                    " long values shortened to their first " + chars +
                    " characters in the workbook, so that they print (the CSV files hold them whole)");
  }
  return notes;
}

}  // namespace th::ledger

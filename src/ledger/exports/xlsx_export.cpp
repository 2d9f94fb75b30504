#include "ledger/exports/xlsx_export.h"

#include <algorithm>
#include <cmath>
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

// Writes a table over as many sheets as its rows need. The columns' widths
// are measured on the first kMeasuredRows rows (all of a small table), held
// back until then, so that every row is written knowing how many lines its
// wrapped text takes: a printed row is as tall as its text.
class SheetWriter {
 public:
  SheetWriter(XlsxWorkbook& book, const ExportTable& table, std::uint32_t sheetRows, WorkbookResult& result)
      : book_(book), table_(table), sheetRows_(sheetRows), result_(result) {
    for (const ExportColumn& column : table_.columns) {
      widths_.push_back(TextColumns(Heading(column), kMaxWidth) + 3);  // the filter button
    }
  }

  void row(const std::vector<std::string>& fields) {
    if (!held_) return write(fields);
    for (std::size_t c = 0; c < fields.size() && c < widths_.size(); ++c) {
      widths_[c] = std::max(widths_[c], Measure(table_.columns[c].kind, fields[c]));
    }
    held_->push_back(fields);
    if (held_->size() >= kMeasuredRows) release();
  }

  void finish() {
    release();
    if (!sheet_) startSheet();
    endSheet();
  }

 private:
  static constexpr std::size_t kMeasuredRows = 5000;

  static const std::string& Heading(const ExportColumn& column) {
    return column.sheetHeading.empty() ? column.heading : column.sheetHeading;
  }

  // The columns a value takes as the workbook shows it.
  static double Measure(CellKind kind, const std::string& value) {
    switch (kind) {
      case CellKind::Kilobytes: return ReadWholeNumber(value) ? 6 : TextColumns(value, kMaxWidth);
      case CellKind::DateTime:
        if (const auto t = ReadDateTime(value)) return t->withTime ? 20 : 11;
        break;
      case CellKind::Yen:
      case CellKind::Number: return DisplayWidth(value, kMaxWidth) + 2;  // separators, a yen sign
      default: break;
    }
    return TextColumns(value, kMaxWidth);
  }

  // The widths settled (capped, then narrowed to print one page wide when
  // that is possible), the rows held back written.
  void release() {
    if (!held_) return;
    for (double& w : widths_) w = std::min(w, kMaxWidth) + 1;
    widths_ = NarrowedToOnePage(std::move(widths_), kNarrowest);
    const std::vector<std::vector<std::string>> rows = std::move(*held_);
    held_.reset();
    for (const auto& fields : rows) write(fields);
  }

  void write(const std::vector<std::string>& fields) {
    if (!sheet_ || row_ + 1 >= sheetRows_) startSheet();
    ++row_;
    texts_.assign(fields.size(), {});
    int lines = 1;
    for (std::size_t c = 0; c < fields.size() && c < table_.columns.size(); ++c) {
      if (!IsText(static_cast<std::uint16_t>(c), fields[c])) continue;
      texts_[c] = ForPrint(fields[c]);
      // Wrapped at the column's width, less a character of padding.
      const double width = std::max(widths_[c] - 1, 1.0);
      lines = std::max(lines, static_cast<int>(std::ceil(TextColumns(texts_[c], 1e9) / width)));
    }
    if (lines > 1) sheet_->rowLines(row_, lines);
    for (std::size_t c = 0; c < fields.size() && c < table_.columns.size(); ++c) cell(static_cast<std::uint16_t>(c), fields[c]);
  }

  void startSheet() {
    if (sheet_) endSheet();
    ++part_;
    const std::string name = part_ == 1 ? table_.sheet : table_.sheet + " (" + std::to_string(part_) + ")";
    if (part_ > 1) result_.continuations.push_back(name);
    sheet_.emplace(book_.addSheet(name));
    row_ = 0;
    for (std::size_t c = 0; c < table_.columns.size(); ++c) {
      sheet_->text(0, static_cast<std::uint16_t>(c), Heading(table_.columns[c]), CellStyle::Heading);
    }
  }

  void endSheet() {
    const auto lastCol = static_cast<std::uint16_t>(table_.columns.empty() ? 0 : table_.columns.size() - 1);
    sheet_->headingRow(row_, lastCol);
    for (std::size_t c = 0; c < widths_.size(); ++c) sheet_->width(static_cast<std::uint16_t>(c), widths_[c]);
    // Pages wider than one repeat the columns up to the management number,
    // which names the row.
    std::uint16_t titleColumns = 0;
    for (std::size_t c = 0; c < table_.columns.size(); ++c) {
      if (table_.columns[c].heading == "管理番号") titleColumns = static_cast<std::uint16_t>(c + 1);
    }
    sheet_->printSetup(titleColumns);
  }

  // Whether the value is written as text (not a number or date of its column's kind).
  bool IsText(std::uint16_t c, const std::string& value) const {
    if (value.empty()) return false;
    switch (table_.columns[c].kind) {
      case CellKind::Number:
      case CellKind::Yen:
      case CellKind::Kilobytes: return !ReadWholeNumber(value);
      case CellKind::Decimal: return !ReadDecimal(value);
      case CellKind::DateTime: return !ReadDateTime(value);
      case CellKind::Mark:
      case CellKind::Text: return true;
    }
    return true;
  }

  std::string ForPrint(const std::string& value) {
    if (value.size() > kPrintChars) {
      if (const std::size_t chars = CharCount(value); chars > kPrintChars) {
        ++result_.shortened;
        return ShortenedForPrint(value, chars, table_.file);
      }
    }
    return value;
  }

  void cell(std::uint16_t c, const std::string& value) {
    if (value.empty()) return sheet_->blank(row_, c);
    const CellKind kind = table_.columns[c].kind;
    if (IsText(c, value)) {
      // Wrapped: a text longer than its column goes on further lines.
      sheet_->text(row_, c, texts_[c], kind == CellKind::Mark ? CellStyle::Attention : CellStyle::Wrapped);
      return;
    }
    switch (kind) {
      case CellKind::Number: return sheet_->number(row_, c, *ReadWholeNumber(value), CellStyle::Number);
      case CellKind::Yen: return sheet_->number(row_, c, *ReadWholeNumber(value), CellStyle::Yen);
      case CellKind::Kilobytes: return sheet_->number(row_, c, *ReadWholeNumber(value) / (1024 * 1024), CellStyle::Decimal);
      case CellKind::Decimal: return sheet_->number(row_, c, *ReadDecimal(value), CellStyle::Decimal);
      case CellKind::DateTime: {
        const auto t = ReadDateTime(value);
        return sheet_->dateTime(row_, c, t->y, t->mo, t->d, t->h, t->mi, t->s, t->withTime);
      }
      case CellKind::Mark:
      case CellKind::Text: break;
    }
  }

  XlsxWorkbook& book_;
  const ExportTable& table_;
  const std::uint32_t sheetRows_;
  WorkbookResult& result_;
  std::optional<XlsxSheet> sheet_;
  std::uint32_t row_ = 0;
  int part_ = 0;
  std::vector<double> widths_;
  std::optional<std::vector<std::vector<std::string>>> held_{std::in_place};
  std::vector<std::string> texts_;  // the row's text cells as printed
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

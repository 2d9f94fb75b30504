#pragma once
// A spreadsheet workbook written with libxlsxwriter in its constant-memory
// mode: rows go to disk as they are written, so a sheet of a million rows
// costs no more memory than one row. Cells are written row by row, left to
// right; every failure throws std::runtime_error. Every cell is in a
// Japanese font with thin borders, so that printed sheets read as a ledger.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/records/collection_summary.h"  // kCellChars

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace th::ledger {

// The rows one sheet holds, its heading row included.
constexpr std::uint32_t kSheetRows = 1048576;

enum class CellStyle {
  Text,
  Wrapped,    // text longer than its column: wrapped onto further lines
  Heading,    // a table's heading: bold on grey, wrapped
  Title,      // a section's title above a table: bold, no border
  Attention,  // a mark that asks for action: bold red
  Number,     // thousands separators, a negative one in red
  Decimal,    // one decimal (gigabytes)
  Yen,        // ¥ and thousands separators
  DateTime,   // yyyy-mm-dd hh:mm:ss
  Date,       // yyyy-mm-dd
  kCount
};

class XlsxSheet {
 public:
  // A string cell: the text exactly as given (cut at kCellChars characters,
  // which the return value says).
  bool text(std::uint32_t row, std::uint16_t col, std::string_view value, CellStyle style = CellStyle::Text);
  void number(std::uint32_t row, std::uint16_t col, double value, CellStyle style = CellStyle::Number);
  // A row of `lines` lines of text; call before its cells.
  void rowLines(std::uint32_t row, int lines);
  // An empty cell of a table: its borders only.
  void blank(std::uint32_t row, std::uint16_t col);
  // 'YYYY-MM-DD HH:MM:SS' or 'YYYY-MM-DD', shown in that same form.
  void dateTime(std::uint32_t row, std::uint16_t col, int y, int mo, int d, int h, int mi, int s, bool withTime);
  // The heading row stays in view and carries filter buttons over the used range.
  void headingRow(std::uint32_t lastRow, std::uint16_t lastCol);
  void width(std::uint16_t col, double characters);
  // Printed on A4 landscape with the workbook's date at the top and the page
  // number below, at the scale that fits the columns (as set by width(), so
  // call this after them) one page wide, but never below 75%, so that 11 pt
  // letters print at 8 pt or more. A sheet too wide for that prints over
  // several pages wide, columns A to `titleColumns` - 1 (when given)
  // repeated on each; the heading row repeats on every page when `titleRow`.
  void printSetup(std::uint16_t titleColumns, bool titleRow = true);
  int printScale() const;

 private:
  friend class XlsxWorkbook;
  using Formats = std::array<lxw_format*, static_cast<std::size_t>(CellStyle::kCount)>;
  XlsxSheet(lxw_worksheet* sheet, const Formats& formats, const std::string& madeAt)
      : sheet_(sheet), formats_(formats), madeAt_(madeAt) {}
  lxw_format* format(CellStyle style) const { return formats_[static_cast<std::size_t>(style)]; }
  lxw_worksheet* sheet_;
  Formats formats_;
  const std::string& madeAt_;
  double widthPoints_ = 0;
};

class XlsxWorkbook {
 public:
  // `madeAt` ("2026-12-08 09:30"): printed at the top of every page.
  XlsxWorkbook(const std::string& utf8Path, std::string madeAt);
  ~XlsxWorkbook();  // discards an unclosed workbook's file
  XlsxWorkbook(const XlsxWorkbook&) = delete;
  XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

  XlsxSheet addSheet(const std::string& name);
  // Writes the file.
  void close();

 private:
  lxw_workbook* book_;
  std::string path_;
  std::string madeAt_;
  XlsxSheet::Formats formats_{};
};

// Column widths (characters) narrowed so that the sheet prints one page
// wide at 75% or more: the widest first, none below `floor` (their text
// wraps). Unchanged when even that would not fit (the sheet then prints
// several pages wide).
std::vector<double> NarrowedToOnePage(std::vector<double> widths, double floor);

// The columns a text takes in a monospaced cell (East Asian wide characters
// two), counted up to `limit`.
double DisplayWidth(std::string_view s, double limit);

// The columns a cell of text needs: its DisplayWidth with a tenth to spare,
// so that fonts whose letters are wider than the digit a column is measured
// in (another program's substitutes) still keep it on its lines.
inline double TextColumns(std::string_view s, double limit) { return DisplayWidth(s, limit) * 1.1; }

}  // namespace th::ledger

#pragma once
// A spreadsheet workbook written with libxlsxwriter in its constant-memory
// mode: rows go to disk as they are written, so a sheet of a million rows
// costs no more memory than one row. Cells are written row by row, left to
// right; every failure throws std::runtime_error.
#include <cstdint>
#include <string>
#include <string_view>

#include "ledger/records/collection_summary.h"  // kCellChars

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace th::ledger {

// The rows one sheet holds, its heading row included.
constexpr std::uint32_t kSheetRows = 1048576;

class XlsxSheet {
 public:
  // A string cell: the text exactly as given (cut at kCellChars characters,
  // which the return value says).
  bool text(std::uint32_t row, std::uint16_t col, std::string_view value, bool bold = false);
  // Shown with thousands separators, a negative one in red.
  void number(std::uint32_t row, std::uint16_t col, double value);
  // 'YYYY-MM-DD HH:MM:SS' or 'YYYY-MM-DD', shown in that same form.
  void dateTime(std::uint32_t row, std::uint16_t col, int y, int mo, int d, int h, int mi, int s, bool withTime);
  // The heading row stays in view and carries filter buttons over the used range.
  void headingRow(std::uint32_t lastRow, std::uint16_t lastCol);
  void width(std::uint16_t col, double characters);
  // Printed on A4 landscape, one page wide, the heading row (and columns A
  // to `titleColumns` - 1, when given) on every page, the sheet's name above
  // and the page number below.
  void printSetup(std::uint16_t titleColumns);

 private:
  friend class XlsxWorkbook;
  struct Formats {
    lxw_format *bold, *number, *dateTime, *date;
  };
  XlsxSheet(lxw_worksheet* sheet, const Formats& formats) : sheet_(sheet), formats_(formats) {}
  lxw_worksheet* sheet_;
  Formats formats_;
};

class XlsxWorkbook {
 public:
  explicit XlsxWorkbook(const std::string& utf8Path);
  ~XlsxWorkbook();  // discards an unclosed workbook's file
  XlsxWorkbook(const XlsxWorkbook&) = delete;
  XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

  XlsxSheet addSheet(const std::string& name);
  // Writes the file.
  void close();

 private:
  lxw_workbook* book_;
  std::string path_;
  XlsxSheet::Formats formats_{};
};

}  // namespace th::ledger

#pragma once
// A spreadsheet workbook written with libxlsxwriter in its constant-memory
// mode: rows go to disk as they are written, so a sheet of a million rows
// costs no more memory than one row. Cells are written row by row, left to
// right; every failure throws std::runtime_error.
#include <cstdint>
#include <string>
#include <string_view>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace th::ledger {

// The rows one sheet holds, its heading row included.
constexpr std::uint32_t kSheetRows = 1048576;
// The characters one cell holds.
constexpr std::size_t kCellChars = 32767;

class XlsxSheet {
 public:
  // A string cell: the text exactly as given (cut at kCellChars characters,
  // which the return value says).
  bool text(std::uint32_t row, std::uint16_t col, std::string_view value, bool bold = false);
  void number(std::uint32_t row, std::uint16_t col, double value);
  // 'YYYY-MM-DD HH:MM:SS' or 'YYYY-MM-DD', shown in that same form.
  void dateTime(std::uint32_t row, std::uint16_t col, int y, int mo, int d, int h, int mi, int s, bool withTime);
  // The heading row stays in view and carries filter buttons over the used range.
  void headingRow(std::uint32_t lastRow, std::uint16_t lastCol);
  void width(std::uint16_t col, double characters);

 private:
  friend class XlsxWorkbook;
  XlsxSheet(lxw_worksheet* sheet, lxw_format* bold, lxw_format* dateTime, lxw_format* date)
      : sheet_(sheet), bold_(bold), dateTime_(dateTime), date_(date) {}
  lxw_worksheet* sheet_;
  lxw_format* bold_;
  lxw_format* dateTime_;
  lxw_format* date_;
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
  lxw_format* bold_;
  lxw_format* dateTime_;
  lxw_format* date_;
};

}  // namespace th::ledger

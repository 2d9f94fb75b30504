#include "ledger/exports/xlsx_workbook.h"

#include <xlsxwriter.h>

#include <stdexcept>

namespace th::ledger {

namespace {

void Check(lxw_error error, const char* what) {
  if (error != LXW_NO_ERROR) throw std::runtime_error(std::string(what) + ": " + lxw_strerror(error));
}

// Cut after `limit` UTF-8 characters; true when something was cut.
bool CutAfterChars(std::string& s, std::size_t limit) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (chars++ == limit) {
      s.resize(i);
      return true;
    }
  }
  return false;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// A spreadsheet reads "_xHHHH_" in a cell's text as an escaped character:
// its leading "_" is written as "_x005F_" so that such text comes back as it was.
std::string KeepEscapeLookalikes(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '_' && i + 6 < value.size() && value[i + 1] == 'x' && IsHex(value[i + 2]) &&
        IsHex(value[i + 3]) && IsHex(value[i + 4]) && IsHex(value[i + 5]) && value[i + 6] == '_') {
      out += "_x005F_";
    } else {
      out += value[i];
    }
  }
  return out;
}

}  // namespace

bool XlsxSheet::text(std::uint32_t row, std::uint16_t col, std::string_view value, bool bold) {
  std::string cell = value.find("_x") == std::string_view::npos ? std::string(value) : KeepEscapeLookalikes(value);
  const bool cut = CutAfterChars(cell, kCellChars);
  Check(worksheet_write_string(sheet_, row, col, cell.c_str(), bold ? formats_.bold : nullptr), "セルを書けません / cannot write a cell");
  return cut;
}

void XlsxSheet::number(std::uint32_t row, std::uint16_t col, double value) {
  Check(worksheet_write_number(sheet_, row, col, value, formats_.number), "セルを書けません / cannot write a cell");
}

void XlsxSheet::dateTime(std::uint32_t row, std::uint16_t col, int y, int mo, int d, int h, int mi, int s,
                         bool withTime) {
  lxw_datetime t{y, mo, d, h, mi, static_cast<double>(s)};
  Check(worksheet_write_datetime(sheet_, row, col, &t, withTime ? formats_.dateTime : formats_.date),
        "セルを書けません / cannot write a cell");
}

void XlsxSheet::headingRow(std::uint32_t lastRow, std::uint16_t lastCol) {
  worksheet_freeze_panes(sheet_, 1, 0);
  Check(worksheet_autofilter(sheet_, 0, 0, lastRow, lastCol), "フィルターを設定できません / cannot set the filter");
}

void XlsxSheet::width(std::uint16_t col, double characters) {
  Check(worksheet_set_column(sheet_, col, col, characters, nullptr), "列幅を設定できません / cannot set a width");
}

void XlsxSheet::printSetup(std::uint16_t titleColumns) {
  constexpr std::uint8_t kA4 = 9;
  worksheet_set_landscape(sheet_);
  worksheet_set_paper(sheet_, kA4);
  worksheet_fit_to_pages(sheet_, 1, 0);  // as many pages down as the rows need
  Check(worksheet_repeat_rows(sheet_, 0, 0), "印刷タイトルを設定できません / cannot set the print titles");
  if (titleColumns > 0) {
    Check(worksheet_repeat_columns(sheet_, 0, titleColumns - 1),
          "印刷タイトルを設定できません / cannot set the print titles");
  }
  Check(worksheet_set_header(sheet_, "&C&A"), "ヘッダーを設定できません / cannot set the header");
  Check(worksheet_set_footer(sheet_, "&C&P / &N"), "フッターを設定できません / cannot set the footer");
}

XlsxWorkbook::XlsxWorkbook(const std::string& utf8Path) : path_(utf8Path) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = LXW_TRUE;  // a large ledger's sheets pass 4 GB uncompressed
  book_ = workbook_new_opt(path_.c_str(), &options);
  if (!book_) throw std::runtime_error("ブックを作れません / cannot create the workbook: " + path_);
  formats_.bold = workbook_add_format(book_);
  format_set_bold(formats_.bold);
  formats_.number = workbook_add_format(book_);
  format_set_num_format(formats_.number, "#,##0;[Red]-#,##0");
  formats_.dateTime = workbook_add_format(book_);
  format_set_num_format(formats_.dateTime, "yyyy-mm-dd hh:mm:ss");
  formats_.date = workbook_add_format(book_);
  format_set_num_format(formats_.date, "yyyy-mm-dd");
}

XlsxWorkbook::~XlsxWorkbook() {
  if (book_) lxw_workbook_free(book_);
}

XlsxSheet XlsxWorkbook::addSheet(const std::string& name) {
  lxw_worksheet* sheet = workbook_add_worksheet(book_, name.c_str());
  if (!sheet) throw std::runtime_error("シートを作れません / cannot add the sheet: " + name);
  return XlsxSheet(sheet, formats_);
}

void XlsxWorkbook::close() {
  lxw_workbook* book = book_;
  book_ = nullptr;  // freed by workbook_close whatever it returns
  Check(workbook_close(book), ("ブックを書けません / cannot write the workbook: " + path_).c_str());
}

}  // namespace th::ledger

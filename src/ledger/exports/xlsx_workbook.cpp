#include "ledger/exports/xlsx_workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

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

// Points a column of `characters` takes: the default font's digit is 7
// pixels in Excel, plus 5 pixels of padding, at 0.75 point a pixel.
// LibreOffice reckons the digit wider (about 7.5): counted so, the sheet
// fits one page wide in both.
double ColumnPoints(double characters) { return (characters * 7.5 + 5) * 0.75; }

constexpr double kPrintableWidth = 842 - 2 * 0.4 * 72;  // A4 landscape less 0.4" margins, points
constexpr int kSmallestScale = 75;                      // 11 pt letters print at 8 pt or more

}  // namespace

double DisplayWidth(std::string_view s, double limit) {
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
    if (width >= limit) break;
  }
  return width;
}

std::vector<double> NarrowedToOnePage(std::vector<double> widths, double floor) {
  const double budget = kPrintableWidth * 100 / kSmallestScale;
  double total = 0;
  for (double w : widths) total += ColumnPoints(w);
  if (total <= budget) return widths;
  // The width every column wider than it is narrowed to, found by halving.
  double low = floor, high = *std::max_element(widths.begin(), widths.end());
  const auto totalAt = [&](double cap) {
    double t = 0;
    for (double w : widths) t += ColumnPoints(std::min(w, cap));
    return t;
  };
  if (totalAt(floor) > budget) return widths;
  while (high - low > 0.5) {
    const double mid = (low + high) / 2;
    (totalAt(mid) <= budget ? low : high) = mid;
  }
  for (double& w : widths) w = std::min(w, low);
  return widths;
}

bool XlsxSheet::text(std::uint32_t row, std::uint16_t col, std::string_view value, CellStyle style) {
  std::string cell = value.find("_x") == std::string_view::npos ? std::string(value) : KeepEscapeLookalikes(value);
  const bool cut = CutAfterChars(cell, kCellChars);
  Check(worksheet_write_string(sheet_, row, col, cell.c_str(), format(style)), "セルを書けません / cannot write a cell");
  return cut;
}

void XlsxSheet::number(std::uint32_t row, std::uint16_t col, double value, CellStyle style) {
  Check(worksheet_write_number(sheet_, row, col, value, format(style)), "セルを書けません / cannot write a cell");
}

void XlsxSheet::rowLines(std::uint32_t row, int lines) {
  constexpr double kLinePoints = 14;  // an 11 pt line, with its leading
  Check(worksheet_set_row(sheet_, row, lines * kLinePoints + 2, nullptr), "行の高さを設定できません / cannot set a row's height");
}

void XlsxSheet::blank(std::uint32_t row, std::uint16_t col) {
  Check(worksheet_write_blank(sheet_, row, col, format(CellStyle::Text)), "セルを書けません / cannot write a cell");
}

void XlsxSheet::dateTime(std::uint32_t row, std::uint16_t col, int y, int mo, int d, int h, int mi, int s,
                         bool withTime) {
  lxw_datetime t{y, mo, d, h, mi, static_cast<double>(s)};
  Check(worksheet_write_datetime(sheet_, row, col, &t, format(withTime ? CellStyle::DateTime : CellStyle::Date)),
        "セルを書けません / cannot write a cell");
}

void XlsxSheet::headingRow(std::uint32_t lastRow, std::uint16_t lastCol) {
  worksheet_freeze_panes(sheet_, 1, 0);
  Check(worksheet_autofilter(sheet_, 0, 0, lastRow, lastCol), "フィルターを設定できません / cannot set the filter");
}

void XlsxSheet::width(std::uint16_t col, double characters) {
  widthPoints_ += ColumnPoints(characters);
  Check(worksheet_set_column(sheet_, col, col, characters, nullptr), "列幅を設定できません / cannot set a width");
}

int XlsxSheet::printScale() const {
  return static_cast<int>(std::clamp(kPrintableWidth * 100 / widthPoints_, double(kSmallestScale), 100.0));
}

void XlsxSheet::printSetup(std::uint16_t titleColumns, bool titleRow) {
  constexpr std::uint8_t kA4 = 9;
  worksheet_set_landscape(sheet_);
  worksheet_set_paper(sheet_, kA4);
  worksheet_set_margins(sheet_, 0.4, 0.4, 0.6, 0.6);
  // A scale, not "fit to one page wide": a program whose fonts are wider
  // than reckoned then prints a further page, never smaller letters.
  worksheet_set_print_scale(sheet_, static_cast<std::uint16_t>(printScale()));
  if (widthPoints_ * kSmallestScale / 100 > kPrintableWidth && titleColumns > 0) {
    Check(worksheet_repeat_columns(sheet_, 0, titleColumns - 1),
          "印刷タイトルを設定できません / cannot set the print titles");
  }
  if (titleRow) {
    Check(worksheet_repeat_rows(sheet_, 0, 0), "印刷タイトルを設定できません / cannot set the print titles");
  }
  const std::string header = "&C&A&R作成 " + madeAt_;
  Check(worksheet_set_header(sheet_, header.c_str()), "ヘッダーを設定できません / cannot set the header");
  Check(worksheet_set_footer(sheet_, "&C&P / &N"), "フッターを設定できません / cannot set the footer");
}

XlsxWorkbook::XlsxWorkbook(const std::string& utf8Path, std::string madeAt) : path_(utf8Path), madeAt_(std::move(madeAt)) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = LXW_TRUE;  // a large ledger's sheets pass 4 GB uncompressed
  book_ = workbook_new_opt(path_.c_str(), &options);
  if (!book_) throw std::runtime_error("ブックを作れません / cannot create the workbook: " + path_);
  for (std::size_t i = 0; i < formats_.size(); ++i) {
    lxw_format* f = workbook_add_format(book_);
    formats_[i] = f;
    // ＭＳ Ｐゴシック, which every Japanese Windows has, by its English name,
    // which other programs' font substitution knows too; 11 pt, the size
    // the print scale above is reckoned for.
    format_set_font_name(f, "MS PGothic");
    format_set_font_size(f, 11);
    format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
    const auto style = static_cast<CellStyle>(i);
    if (style != CellStyle::Title) format_set_border(f, LXW_BORDER_THIN);
    switch (style) {
      case CellStyle::Text: break;
      case CellStyle::Wrapped: format_set_text_wrap(f); break;
      case CellStyle::Heading:
        format_set_bold(f);
        format_set_text_wrap(f);
        format_set_bg_color(f, 0xD9D9D9);
        break;
      case CellStyle::Title: format_set_bold(f); break;
      case CellStyle::Attention:
        format_set_bold(f);
        format_set_font_color(f, 0xC00000);
        break;
      case CellStyle::Number: format_set_num_format(f, "#,##0;[Red]-#,##0"); break;
      case CellStyle::Decimal: format_set_num_format(f, "#,##0.0"); break;
      case CellStyle::Yen: format_set_num_format(f, "\"¥\"#,##0;[Red]-\"¥\"#,##0"); break;
      case CellStyle::DateTime: format_set_num_format(f, "yyyy-mm-dd hh:mm:ss"); break;
      case CellStyle::Date: format_set_num_format(f, "yyyy-mm-dd"); break;
      case CellStyle::kCount: break;
    }
  }
}

XlsxWorkbook::~XlsxWorkbook() {
  if (book_) lxw_workbook_free(book_);
}

XlsxSheet XlsxWorkbook::addSheet(const std::string& name) {
  lxw_worksheet* sheet = workbook_add_worksheet(book_, name.c_str());
  if (!sheet) throw std::runtime_error("シートを作れません / cannot add the sheet: " + name);
  return XlsxSheet(sheet, formats_, madeAt_);
}

void XlsxWorkbook::close() {
  lxw_workbook* book = book_;
  book_ = nullptr;  // freed by workbook_close whatever it returns
  Check(workbook_close(book), ("ブックを書けません / cannot write the workbook: " + path_).c_str());
}

}  // namespace th::ledger

#include "ledger/exports/xlsx_grid.h"

#include <algorithm>
#include <cstdio>

namespace th::ledger {

namespace {

constexpr double kMaxWidth = 40;

std::string Digits(double n) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%.0f", n);
  return digits;
}

}  // namespace

void SheetGrid::put(std::uint32_t row, std::uint16_t col, GridCell cell) {
  // A title runs over the empty cells to its right: it sets no width.
  if (cell.style != CellStyle::Title) {
    const double shown = TextColumns(cell.number ? Digits(*cell.number) : cell.text, kMaxWidth);
    // Grouping commas and a yen sign.
    const double extra = cell.number ? shown / 3 + (cell.style == CellStyle::Yen ? 2 : 0)
                         : cell.style == CellStyle::Heading ? 2  // bold
                                                             : 0;
    widths_[col] = std::max(widths_[col], std::min(shown + extra, kMaxWidth));
  }
  cells_[{row, col}] = std::move(cell);
}

void SheetGrid::note(Lane& lane, const std::string& text, CellStyle style) {
  put(lane.row++, lane.col, {text, std::nullopt, style});
}

void SheetGrid::table(Lane& lane, const std::string& title, const std::vector<std::string>& headings,
                      const std::vector<std::vector<GridCell>>& rows) {
  note(lane, title);
  for (std::size_t c = 0; c < headings.size(); ++c) {
    put(lane.row, static_cast<std::uint16_t>(lane.col + c), {headings[c], std::nullopt, CellStyle::Heading});
  }
  ++lane.row;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) put(lane.row, static_cast<std::uint16_t>(lane.col + c), row[c]);
    ++lane.row;
  }
  ++lane.row;
}

void SheetGrid::write(XlsxSheet& sheet) const {
  for (const auto& [at, cell] : cells_) {
    if (cell.number) {
      sheet.number(at.first, at.second, *cell.number, cell.style);
    } else {
      sheet.text(at.first, at.second, cell.text, cell.style);
    }
  }
  const std::uint16_t last = widths_.empty() ? 0 : widths_.rbegin()->first;
  for (std::uint16_t c = 0; c <= last; ++c) {
    const auto w = widths_.find(c);
    sheet.width(c, w == widths_.end() ? 2 : w->second + 2);
  }
  sheet.printSetup(0, false);
}

}  // namespace th::ledger

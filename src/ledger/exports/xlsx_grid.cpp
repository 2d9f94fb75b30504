#include "ledger/exports/xlsx_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace th::ledger {

namespace {

constexpr double kMaxWidth = 40;
constexpr double kHeadingWidth = 10;
constexpr double kNarrowest = 16;

std::string Digits(double n) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%.0f", n);
  return digits;
}

}  // namespace

void SheetGrid::put(std::uint32_t row, std::uint16_t col, GridCell cell) {
  // A title runs over the empty cells to its right: it sets no width. A
  // heading wraps onto a second line rather than widen a column of counts.
  if (cell.style != CellStyle::Title) {
    const double shown = TextColumns(cell.number ? Digits(*cell.number) : cell.text, kMaxWidth);
    // Grouping commas and a yen sign.
    const double extra = cell.number ? shown / 3 + (cell.style == CellStyle::Yen ? 2 : 0) : 0;
    const double cap = cell.style == CellStyle::Heading ? kHeadingWidth : kMaxWidth;
    widths_[col] = std::max(widths_[col], std::min(shown + extra, cap));
  }
  if (cell.style == CellStyle::Text) cell.style = CellStyle::Wrapped;
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
  const std::uint16_t last = widths_.empty() ? 0 : widths_.rbegin()->first;
  std::vector<double> widths(last + 1u, 2);
  for (const auto& [col, w] : widths_) widths[col] = w + 2;
  widths = NarrowedToOnePage(std::move(widths), kNarrowest);
  for (auto at = cells_.begin(); at != cells_.end();) {
    const std::uint32_t row = at->first.first;
    const auto end = cells_.lower_bound({row + 1, 0});
    int lines = 1;  // the row as tall as its most wrapped text
    for (auto c = at; c != end; ++c) {
      if (c->second.number || c->second.style == CellStyle::Title) continue;
      const double width = std::max(widths[c->first.second] - 1, 1.0);
      lines = std::max(lines, static_cast<int>(std::ceil(TextColumns(c->second.text, 1e9) / width)));
    }
    if (lines > 1) sheet.rowLines(row, lines);
    for (; at != end; ++at) {
      const auto& [place, cell] = *at;
      if (cell.number) {
        sheet.number(place.first, place.second, *cell.number, cell.style);
      } else {
        sheet.text(place.first, place.second, cell.text, cell.style);
      }
    }
  }
  for (std::uint16_t c = 0; c <= last; ++c) sheet.width(c, widths[c]);
  sheet.printSetup(0, false);
}

}  // namespace th::ledger

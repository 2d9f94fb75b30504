#pragma once
// Small titled tables laid out side by side on one sheet (a summary), kept
// in memory and written row by row as the workbook's constant-memory mode
// needs.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ledger/exports/xlsx_workbook.h"

namespace th::ledger {

struct GridCell {
  GridCell(std::string t = {}, std::optional<double> n = std::nullopt, CellStyle s = CellStyle::Text)
      : text(std::move(t)), number(n), style(s) {}
  std::string text;
  std::optional<double> number;  // shown in `style` when set
  CellStyle style = CellStyle::Text;
};

inline GridCell Count(double n) { return {"", n, CellStyle::Number}; }
inline GridCell Yen(std::optional<double> n) {
  return n ? GridCell{"", n, CellStyle::Yen} : GridCell{"単価未設定", std::nullopt, CellStyle::Text};
}

class SheetGrid {
 public:
  // A column of tables starting at `col`, each below the one before.
  struct Lane {
    std::uint16_t col;
    std::uint32_t row = 0;
  };
  // A line of text above the tables (a lane's own row advances).
  void note(Lane& lane, const std::string& text, CellStyle style = CellStyle::Title);
  // A title, a heading row and the rows, then an empty row.
  void table(Lane& lane, const std::string& title, const std::vector<std::string>& headings,
             const std::vector<std::vector<GridCell>>& rows);
  // Writes the cells row by row with widths to fit, and prints the sheet
  // one page wide.
  void write(XlsxSheet& sheet) const;

 private:
  void put(std::uint32_t row, std::uint16_t col, GridCell cell);
  std::map<std::pair<std::uint32_t, std::uint16_t>, GridCell> cells_;
  std::map<std::uint16_t, double> widths_;
};

}  // namespace th::ledger

#pragma once
// The columns of a PC's row, in order: pcs.csv's headings, the report's PC
// table (which takes them from the report's data) and their pc_summary names.
#include <span>
#include <string>

namespace th::ledger {

struct PcColumn {
  const char* key;      // the column of pc_summary
  const char* heading;  // pcs.csv's and the report's heading
  bool numeric;         // sorted as a number in the report
  int width;            // the report's column width, pixels
};

std::span<const PcColumn> PcColumns();

// "p.number, p.surname, ...": the columns for a SELECT from pc_summary `p`.
std::string PcColumnsSql(const char* table);

}  // namespace th::ledger

#pragma once
// Compact lists of record indices for the report's data. Each PC's records
// are one text of base-32 digits, so 10,000 PCs of 300 records stay a few
// megabytes and the page parses them as strings, decoding a list only when it
// is shown; indices are numbered by how often they occur, so the records most
// PCs share (applications, common values) take one or two characters, and
// those met only once (serial numbers, addresses) none.
#include <string>
#include <vector>

namespace th::ledger {

// Digits before the last come from "0-9a-v", the last from "A-Z!#$%()":
// none of them needs escaping in JSON or HTML. The index `nextSingle` is
// written as "*" and advances it: the lists, in order, name the records met
// once in the order of their numbers. An index with a place in `rank` (the
// records met more than once, by their texts) that is 1 to 16 places after
// the last such index of the list is written as one of "wxyz-._~:;=?@[]^"
// for 1 to 16: a record file lists its applications by name.
std::string EncodeIds(const std::vector<int>& ids, int& nextSingle, const std::vector<int>& rank = {});

struct IdNumbering {
  std::vector<int> renumber;  // renumber[old] == new
  int singlesFrom = 0;        // the first index of the records met once
};

// New numbers for indices 0..count-1, the most frequent in `lists` first,
// ties in the order the lists first name them (then those they never name).
IdNumbering NumberByFrequency(const std::vector<std::vector<int>>& lists, int count);

}  // namespace th::ledger

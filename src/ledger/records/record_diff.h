#pragma once
// What changed between two collections of one PC: the values that differ
// (every record but the software list and the collection time) and the
// applications added and removed.
#include <string>
#include <string_view>
#include <vector>

namespace th::ledger {

struct Record {
  std::string grp, item, subitem, contents, unit;
};

struct ValueChange {
  std::string grp, item, subitem;
  // The value as "contents unit"; a record found on one side only has the
  // other side's flag false.
  bool hadBefore = false, hasNow = false;
  std::string before, now;
};

struct CollectionDiff {
  std::vector<ValueChange> values;
  std::vector<Record> added, removed;  // applications
};

bool IsApplication(std::string_view grp, std::string_view item);
bool IsApplication(const Record& r);

// Records are matched by group, item, subitem and their occurrence among
// equal keys (two keyboards stay two values), applications by name, version
// and publisher, so a new version shows as one removed and one added.
// Platform facts are compared only when both collections hold them (both
// have the Platform,Section,Version line); one the client could not read
// shows its reason in parentheses, "(unsupported)".
CollectionDiff DiffCollections(const std::vector<Record>& before, const std::vector<Record>& now);

}  // namespace th::ledger

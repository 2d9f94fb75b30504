#include "ledger/records/record_diff.h"

#include <map>
#include <tuple>

namespace th::ledger {
namespace {

using Key = std::tuple<std::string, std::string, std::string, int>;
using AppKey = std::tuple<std::string, std::string, std::string>;

bool IsCollectionTime(const Record& r) { return r.grp == "Create" && r.item == "DateTime"; }

bool IsPlatform(const Record& r) { return r.grp == "Platform"; }
bool IsPlatformSection(const Record& r) { return IsPlatform(r) && r.item == "Section" && r.subitem == "Version"; }

// Only clients that write the section line know the Platform facts at all.
bool HasPlatform(const std::vector<Record>& records) {
  for (const Record& r : records)
    if (IsPlatformSection(r)) return true;
  return false;
}

// A Platform fact the client could not read has no Contents, its reason in
// Unit: shown as "(denied)" rather than as a value.
std::string ValueText(const Record& r) {
  if (IsPlatform(r) && r.contents.empty() && !r.unit.empty()) return "(" + r.unit + ")";
  return r.unit.empty() ? r.contents : r.contents + " " + r.unit;
}

// Values keyed in file order; the occurrence number tells repeated keys apart.
// The section line says which client wrote the file, nothing of the PC.
std::vector<std::pair<Key, std::string>> Values(const std::vector<Record>& records, bool platform) {
  std::map<std::tuple<std::string, std::string, std::string>, int> seen;
  std::vector<std::pair<Key, std::string>> values;
  for (const Record& r : records) {
    if (IsApplication(r) || IsCollectionTime(r) || IsPlatformSection(r)) continue;
    if (!platform && IsPlatform(r)) continue;
    const int n = seen[{r.grp, r.item, r.subitem}]++;
    values.push_back({Key{r.grp, r.item, r.subitem, n}, ValueText(r)});
  }
  return values;
}

std::map<AppKey, int> Applications(const std::vector<Record>& records) {
  std::map<AppKey, int> apps;
  for (const Record& r : records)
    if (IsApplication(r)) ++apps[{r.subitem, r.contents, r.unit}];
  return apps;
}

// The applications of `from` that `other` holds fewer times, in file order.
std::vector<Record> Missing(const std::vector<Record>& from, const std::vector<Record>& other) {
  std::map<AppKey, int> left = Applications(other);
  std::vector<Record> missing;
  for (const Record& r : from) {
    if (!IsApplication(r)) continue;
    int& n = left[{r.subitem, r.contents, r.unit}];
    if (n > 0) --n;
    else missing.push_back(r);
  }
  return missing;
}

}  // namespace

bool IsApplication(std::string_view grp, std::string_view item) { return grp == "Soft" && item == "Application"; }
bool IsApplication(const Record& r) { return IsApplication(r.grp, r.item); }

CollectionDiff DiffCollections(const std::vector<Record>& before, const std::vector<Record>& now) {
  CollectionDiff diff;
  // Platform facts that one side's client did not collect are unknown there,
  // not changed.
  const bool platform = HasPlatform(before) && HasPlatform(now);
  std::map<Key, std::string> old;
  for (auto& [key, text] : Values(before, platform)) old.emplace(key, text);
  for (auto& [key, text] : Values(now, platform)) {
    auto it = old.find(key);
    ValueChange change{std::get<0>(key), std::get<1>(key), std::get<2>(key), it != old.end(), true,
                       it != old.end() ? it->second : std::string(), text};
    if (it != old.end()) {
      const bool same = it->second == text;
      old.erase(it);
      if (same) continue;
    }
    diff.values.push_back(std::move(change));
  }
  // What the previous collection had and this one lacks, in its file order.
  for (auto& [key, text] : Values(before, platform)) {
    if (!old.contains(key)) continue;
    diff.values.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key), true, false, text, {}});
  }
  diff.added = Missing(now, before);
  diff.removed = Missing(before, now);
  return diff;
}

}  // namespace th::ledger

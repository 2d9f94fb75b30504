#include "collect/software.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "collect/record_file.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

constexpr const char* kProc = "SoftCheck";

// The texts collected for one uninstall entry.
struct Entry {
  std::string parentName, displayName, version, installLocation, publisher, productId;
};

// Value names in the order they are tested; a line goes to the first name
// it begins with, so "ParentDisplayName" must come before "DisplayName".
constexpr std::pair<const char*, std::string Entry::*> kValueNames[] = {
    {"ParentDisplayName", &Entry::parentName}, {"DisplayName", &Entry::displayName},
    {"DisplayVersion", &Entry::version},       {"InstallLocation", &Entry::installLocation},
    {"Publisher", &Entry::publisher},          {"ProductID", &Entry::productId},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when "marker" followed by six digits occurs anywhere in the text.
bool HasSixDigitsAfter(std::string_view text, std::string_view marker) {
  for (auto at = text.find(marker); at != std::string_view::npos; at = text.find(marker, at + 1)) {
    const std::string_view rest = text.substr(at + marker.size());
    if (rest.size() >= 6 && std::all_of(rest.begin(), rest.begin() + 6, IsDigit)) return true;
  }
  return false;
}

// Records the entry when it is a top-level application, then starts afresh.
void CloseEntry(RunContext& ctx, Entry& e) {
  Record& r = ctx.rec;
  if (e.parentName.empty() && !e.displayName.empty() && !IsUpdateName(e.displayName)) {
    r.SubItem = e.displayName;
    r.Contents = e.version;
    r.Unit = !e.productId.empty() ? e.productId : !e.publisher.empty() ? e.publisher : e.installLocation;
    SaveTextSet(ctx);  // logs its own failure; only this record is lost
  }
  e = Entry{};
  r.SubItem.clear();
  r.Contents.clear();
  r.Unit.clear();
}

void TakeValue(Entry& e, const std::string& line) {
  for (const auto& [name, field] : kValueNames) {
    if (StartsWith(line, name)) {
      e.*field = RegLineData(line);
      return;
    }
  }
}

}  // namespace

std::string RegLineData(const std::string& line) {
  const auto type = line.find("REG_");
  if (type == std::string::npos) return "";
  const auto blank = line.find(' ', type);
  if (blank == std::string::npos) return "";
  return TrimSpaces(std::string_view(line).substr(blank));
}

bool IsUpdateName(std::string_view displayName) {
  return HasSixDigitsAfter(displayName, "KB") || HasSixDigitsAfter(displayName, "(KB) ");
}

void SoftCheck(RunContext& ctx, const std::string& dumpPath) {
  if (FileLength(ctx.os, dumpPath) == -1) return;

  Record& r = ctx.rec;
  r.Group = "Soft";
  r.Item = "Application";
  r.SubItem.clear();
  r.Contents.clear();
  r.Unit.clear();

  auto reader = std::make_unique<TextReader>(ctx.os, dumpPath);
  if (!reader->opened()) {
    WriteErrorLog(ctx, kProc, reader->outcome().failure);
    return;
  }

  Entry entry;
  std::string raw;
  bool more = true;
  while (true) {
    // A failing read ends the procedure: reading on would only fail again.
    if (!Guarded(ctx, kProc, [&] { more = reader->next(raw); })) return;
    if (!more) break;
    const std::string line = TrimSpaces(raw);
    if (line.empty() || StartsWith(line, "HKEY_")) {
      CloseEntry(ctx, entry);
    } else {
      TakeValue(entry, line);
    }
  }
  // A dump cut off after a value line still holds its last entry.
  CloseEntry(ctx, entry);

  reader.reset();
  DeleteFiles(ctx.os, dumpPath);
}

}  // namespace th

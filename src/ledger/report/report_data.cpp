#include "ledger/report/report_data.h"

#include <array>
#include <ctime>
#include <functional>
#include <unordered_map>
#include <vector>

#include "ledger/report/json_writer.h"
#include "ledger/report/record_diff.h"
#include "ledger/report/string_table.h"
#include "ledger/sqlite.h"

namespace th::ledger {
namespace {

// The columns of pcs.csv, in its order, as pc_summary names them.
constexpr const char* kPcColumns =
    "s.number, s.surname, s.given_name, s.computer_name, s.user_name, s.os, s.os_version, s.cpu, s.memory, "
    "s.system_disk_size, s.system_disk_free, s.total_disk, s.maker, s.model, s.chassis, s.board_serial, "
    "s.system_uuid, s.mac_addresses, s.ip_addresses, s.collected_at";
constexpr int kPcColumnCount = 20;

std::string LocalNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

void TextOrNull(JsonWriter& w, const Statement& s, int col) {
  if (s.isNull(col)) w.Null();
  else w.String(s.text(col));
}

std::int64_t Count(sqlite3* db, const char* sql) {
  Statement s(db, sql);
  return s.step() ? s.integer(0) : 0;
}

void WriteOverview(sqlite3* db, JsonWriter& w) {
  Statement last(db, "SELECT started_at, files_read, new_pcs, updated_pcs, rejected FROM imports "
                     "ORDER BY id DESC LIMIT 1");
  w.Key("lastImport");
  if (last.step()) {
    w.BeginObject().Key("startedAt");
    TextOrNull(w, last, 0);
    const char* names[] = {"filesRead", "newPcs", "updatedPcs", "rejected"};
    for (int i = 0; i < 4; ++i) {
      w.Key(names[i]);
      if (last.isNull(i + 1)) w.Null();
      else w.Int(last.integer(i + 1));
    }
    w.EndObject();
  } else {
    w.Null();
  }
  const std::int64_t expected = Count(db, "SELECT count(*) FROM register");
  w.Key("expected");
  if (expected > 0) w.Int(expected);
  else w.Null();

  // Findings by kind, in the order the kinds are listed, each with its items.
  w.Key("findings").BeginArray();
  Statement findings(db,
                     "SELECT f.kind, coalesce(k.title, f.kind), f.number, f.file, f.detail FROM findings f "
                     "LEFT JOIN finding_kinds k ON k.kind = f.kind "
                     "ORDER BY coalesce(k.rowid, 1e18), f.kind, f.id");
  std::string kind;
  bool open = false;
  while (findings.step()) {
    if (!open || findings.text(0) != kind) {
      if (open) w.EndArray().EndObject();
      kind = findings.text(0);
      w.BeginObject().Key("kind").String(kind).Key("title").String(findings.text(1)).Key("items").BeginArray();
      open = true;
    }
    w.BeginArray();
    for (int c = 2; c <= 4; ++c) TextOrNull(w, findings, c);
    w.EndArray();
  }
  if (open) w.EndArray().EndObject();
  w.EndArray();

  // Every report taken, current or history, by its day of collection.
  w.Key("perDay").BeginArray();
  Statement days(db, "SELECT substr(collected_at, 1, 10) AS day, count(*) FROM collections "
                     "WHERE collected_at IS NOT NULL GROUP BY day ORDER BY day");
  while (days.step()) w.BeginArray().String(days.text(0)).Int(days.integer(1)).EndArray();
  w.EndArray();
}

struct RecordHash {
  std::size_t operator()(const std::array<int, 5>& a) const {
    std::size_t h = 0;
    for (int v : a) h = h * 1000003u ^ static_cast<std::size_t>(v);
    return h;
  }
};

// Records as five string indices each, every distinct record once.
class RecordTable {
 public:
  explicit RecordTable(StringTable& strings) : strings_(strings) {}
  int Intern(const Record& r) {
    const std::array<int, 5> key{strings_.Intern(r.grp), strings_.Intern(r.item), strings_.Intern(r.subitem),
                                 strings_.Intern(r.contents), strings_.Intern(r.unit)};
    auto [it, added] = index_.try_emplace(key, static_cast<int>(order_.size()));
    if (added) order_.push_back(key);
    return it->second;
  }
  const std::vector<std::array<int, 5>>& Records() const { return order_; }

 private:
  StringTable& strings_;
  std::unordered_map<std::array<int, 5>, int, RecordHash> index_;
  std::vector<std::array<int, 5>> order_;
};

std::vector<Record> ReadRecords(Statement& s, std::int64_t collection) {
  std::vector<Record> records;
  s.reset();
  s.bind(1, collection);
  while (s.step()) records.push_back({s.text(0), s.text(1), s.text(2), s.text(3), s.text(4)});
  return records;
}

struct Pc {
  std::int64_t collection;
  std::string number;
};

void WritePcs(sqlite3* db, JsonWriter& w, std::vector<Pc>& pcs) {
  w.Key("extraColumns");
  Statement columns(db, "SELECT value FROM meta WHERE key = 'register_columns'");
  if (columns.step() && !columns.isNull(0)) w.String(columns.text(0));
  else w.Null();

  w.Key("pcs").BeginArray();
  Statement rows(db, std::string("SELECT ") + kPcColumns +
                         ", s.collection_id, s.file_name, r.extra FROM pc_summary s "
                         "LEFT JOIN register r ON r.number = s.number ORDER BY s.number");
  while (rows.step()) {
    w.BeginArray();
    for (int c = 0; c < kPcColumnCount; ++c) TextOrNull(w, rows, c);
    w.String(rows.text(kPcColumnCount + 1));
    TextOrNull(w, rows, kPcColumnCount + 2);
    w.EndArray();
    pcs.push_back({rows.integer(kPcColumnCount), rows.text(0)});
  }
  w.EndArray();

  // PCs whose every collection came with the last import.
  w.Key("newPcs").BeginArray();
  Statement fresh(db,
                  "SELECT p.number FROM pcs p WHERE NOT EXISTS (SELECT 1 FROM collections c "
                  "JOIN files f ON f.id = c.file_id WHERE c.number = p.number "
                  "AND f.import_id < (SELECT max(id) FROM imports)) ORDER BY p.number");
  std::size_t i = 0;
  while (fresh.step()) {
    const std::string number = fresh.text(0);
    while (i < pcs.size() && pcs[i].number < number) ++i;
    if (i < pcs.size() && pcs[i].number == number) w.Int(static_cast<std::int64_t>(i));
  }
  w.EndArray();
}

void WriteValueChange(JsonWriter& w, StringTable& strings, const ValueChange& c) {
  w.Int(strings.Intern(c.grp)).Int(strings.Intern(c.item)).Int(strings.Intern(c.subitem));
  w.Int(c.hadBefore ? strings.Intern(c.before) : -1).Int(c.hasNow ? strings.Intern(c.now) : -1);
}

// Each PC's records in file order, and what changed since its previous
// collection; texts go through one string table written last.
void WriteRecords(sqlite3* db, JsonWriter& w, const std::vector<Pc>& pcs) {
  StringTable strings;
  RecordTable table(strings);
  Statement records(db, "SELECT coalesce(grp, ''), coalesce(item, ''), coalesce(subitem, ''), "
                        "coalesce(contents, ''), coalesce(unit, '') FROM records "
                        "WHERE collection_id = ? ORDER BY line");
  Statement previous(db, "SELECT c.id, c.collected_at FROM collections c JOIN pcs p ON p.number = c.number "
                         "WHERE p.number = ? AND c.id <> p.collection_id "
                         "ORDER BY c.collected_at DESC, c.id DESC LIMIT 1");
  const auto writeList = [&](const std::vector<Record>& list) {
    w.BeginArray();
    for (const Record& r : list) w.Int(table.Intern(r));
    w.EndArray();
  };

  w.Key("pcRecords").BeginArray();
  for (const Pc& pc : pcs) writeList(ReadRecords(records, pc.collection));
  w.EndArray();

  w.Key("changes").BeginArray();
  for (const Pc& pc : pcs) {
    previous.reset();
    previous.bind(1, pc.number);
    if (!previous.step()) {
      w.Null();
      continue;
    }
    const std::int64_t before = previous.integer(0);
    const std::string at = previous.isNull(1) ? std::string() : previous.text(1);
    const CollectionDiff diff = DiffCollections(ReadRecords(records, before), ReadRecords(records, pc.collection));
    w.BeginArray().String(at).BeginArray();
    for (const ValueChange& c : diff.values) WriteValueChange(w, strings, c);
    w.EndArray();
    writeList(diff.added);
    writeList(diff.removed);
    w.EndArray();
  }
  w.EndArray();

  w.Key("records").BeginArray();
  for (const auto& r : table.Records())
    for (int v : r) w.Int(v);
  w.EndArray();
  w.Key("strings").BeginArray();
  for (const std::string* s : strings.Texts()) w.String(*s);
  w.EndArray();
}

void WriteSoftware(sqlite3* db, JsonWriter& w) {
  w.Key("software").BeginArray();
  Statement s(db, "SELECT coalesce(name, ''), coalesce(publisher, ''), pcs FROM software ORDER BY pcs DESC, name");
  while (s.step()) w.BeginArray().String(s.text(0)).String(s.text(1)).Int(s.integer(2)).EndArray();
  w.EndArray();
}

}  // namespace

void WriteReportData(sqlite3* db, const ReportOptions& options, std::ostream& out) {
  // One read snapshot for the whole report, also when the caller holds a
  // transaction of its own.
  Statement(db, "SAVEPOINT report").run();
  struct Release {
    sqlite3* db;
    ~Release() { sqlite3_exec(db, "RELEASE report", nullptr, nullptr, nullptr); }
  } release{db};
  JsonWriter w(out);
  w.BeginObject();
  w.Key("now").String(options.now.empty() ? LocalNow() : options.now);
  WriteOverview(db, w);
  std::vector<Pc> pcs;
  WritePcs(db, w, pcs);
  WriteSoftware(db, w);
  WriteRecords(db, w, pcs);
  w.EndObject();
}

}  // namespace th::ledger

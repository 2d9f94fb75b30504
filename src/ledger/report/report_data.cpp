#include "ledger/report/report_data.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <ios>
#include <optional>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ledger/report/catalogue_data.h"
#include "ledger/report/deflate_text.h"
#include "ledger/report/id_lists.h"
#include "ledger/report/json_writer.h"
#include "ledger/report/win11_data.h"
#include "ledger/store/collection_changes.h"
#include "ledger/store/distinct_records.h"
#include "ledger/records/record_diff.h"
#include "ledger/text/local_time.h"
#include "ledger/store/finding_kinds.h"
#include "ledger/store/pc_columns.h"
#include "ledger/store/register_columns.h"
#include "ledger/store/same_pc_sql.h"
#include "ledger/store/sqlite.h"
#include "ledger/text/text_fold.h"
#include "ledger/store/win11_plan.h"

namespace th::ledger {
namespace {


void TextOrNull(JsonWriter& w, const Statement& s, int col) {
  if (s.isNull(col)) w.Null();
  else w.String(s.view(col));
}

std::int64_t Count(sqlite3* db, const char* sql) {
  Statement s(db, sql);
  return s.step() ? s.integer(0) : 0;
}

// Each PC's numbers and the number it is now reported under: an older
// number of one PC counts as that PC.
#define kCurrentPc                                                                                       \
  "older AS (" LEDGER_OLDER_NUMBERS "), current_pc AS (SELECT p.number, coalesce(o.current_number, p.number) AS pc" \
  " FROM pcs p LEFT JOIN older o ON o.number = p.number)"

// By the register's department column: its numbers, the PCs that reported
// under them and the numbers not reported; then the PCs under no number of
// the register ('' as the department, -1 as its register count).
void WriteDepartments(sqlite3* db, JsonWriter& w) {
  Database borrowed(db);
  const std::vector<std::string> columns = RegisterColumns(borrowed);
  const std::string column = Win11DepartmentColumn(columns);
  const auto at = std::find(columns.begin(), columns.end(), column);
  w.Key("departmentColumn");
  if (at == columns.end()) {
    w.Null();
    return;
  }
  w.String(column);
  // Each a single pass: no statement per department, whose PCs a large
  // ledger would read again for each.
  Statement rows(db, "WITH " kCurrentPc ", "
                     "listed AS (SELECT coalesce(CAST(json_extract(extra, '$[' || ?1 || ']') AS TEXT), '') AS d, "
                     "count(*) AS n, sum(number NOT IN (SELECT lower(number) FROM pcs)) AS missing "
                     "FROM register GROUP BY d), "
                     "reported AS (SELECT coalesce(CAST(json_extract(r.extra, '$[' || ?1 || ']') AS TEXT), '') AS d, "
                     "count(DISTINCT c.pc) AS pcs FROM current_pc c JOIN register r ON r.number = lower(c.number) "
                     "GROUP BY d) "
                     "SELECT * FROM (SELECT l.d AS d, l.n AS n, coalesce(p.pcs, 0), l.missing FROM listed l "
                     "LEFT JOIN reported p ON p.d = l.d "
                     "UNION ALL SELECT NULL, -1, count(DISTINCT pc), 0 FROM current_pc WHERE pc NOT IN "
                     "(SELECT c.pc FROM current_pc c JOIN register r ON r.number = lower(c.number))) "
                     "ORDER BY n DESC, d");  // the PCs under no number of the register (-1) last
  rows.bind(1, static_cast<std::int64_t>(at - columns.begin()));
  w.Key("departments").BeginArray();
  while (rows.step()) {
    if (rows.integer(1) < 0 && rows.integer(2) == 0) continue;
    w.BeginArray();
    TextOrNull(w, rows, 0);
    for (int c = 1; c <= 3; ++c) w.Int(rows.integer(c));
    w.EndArray();
  }
  w.EndArray();
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
  // The register's numbers, and how many of them a PC reported: a PC under
  // two numbers counts once, a number not in the register not at all.
  const std::int64_t expected = Count(db, "SELECT count(*) FROM register");
  w.Key("expected");
  if (expected > 0) w.Int(expected);
  else w.Null();
  w.Key("reportedOfRegister").Int(Count(db, "WITH " kCurrentPc " SELECT count(DISTINCT c.pc) FROM current_pc c "
                                            "JOIN register r ON r.number = lower(c.number)"));
  WriteDepartments(db, w);

  // Findings by kind, in the order the kinds are listed, each with its items;
  // a number the register has but no PC reported, with the register's columns.
  std::unordered_set<std::string> attention;
  for (const FindingKind& k : FindingKinds())
    if (k.needsAttention) attention.insert(k.kind);
  w.Key("findings").BeginArray();
  Statement findings(db,
                     "SELECT f.kind, coalesce(k.title, f.kind), f.number, f.file, f.detail, r.extra FROM findings f "
                     "LEFT JOIN finding_kinds k ON k.kind = f.kind "
                     "LEFT JOIN register r ON f.kind = 'not_reported' AND r.number = lower(f.number) "
                     "ORDER BY coalesce(k.rowid, 1e18), f.kind, f.id");
  std::string kind;
  bool open = false;
  while (findings.step()) {
    if (!open || findings.text(0) != kind) {
      if (open) w.EndArray().EndObject();
      kind = findings.text(0);
      w.BeginObject().Key("kind").String(kind).Key("title").String(findings.text(1));
      if (attention.count(kind)) w.Key("attention").Bool(true);
      w.Key("items").BeginArray();
      open = true;
    }
    w.BeginArray();
    for (int c = 2; c <= 4; ++c) TextOrNull(w, findings, c);
    if (!findings.isNull(5)) w.String(findings.text(5));
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

struct Change;

// The records and texts as the data names them: numbered in the order the
// PCs, in turn, first name them (a PC's records, then what changed on it),
// so that the data is the same whatever order the import or the reading met
// them in. Only the records of the PCs shown are kept.
class ReportRecords {
 public:
  explicit ReportRecords(const DistinctRecords& from)
      : from_(from), recordOf_(static_cast<std::size_t>(from.Count()), -1), textOf_(static_cast<std::size_t>(from.TextCount()), -1) {}
  // The next PC's records, renumbered in place.
  void NextPc(std::vector<int>& ids) {
    ++pc_;
    for (int& id : ids) id = RecordOf(id);
  }
  void Renumber(Change& c);  // below, after Change

  int Field(int id, int field) const { return fields_[static_cast<std::size_t>(id) * 5 + static_cast<std::size_t>(field)]; }
  const std::string& Text(int id, int field) const { return *texts_[static_cast<std::size_t>(Field(id, field))]; }
  Record Get(int id) const { return {Text(id, 0), Text(id, 1), Text(id, 2), Text(id, 3), Text(id, 4)}; }
  int Count() const { return static_cast<int>(fields_.size() / 5); }
  const std::vector<int>& Fields() const { return fields_; }
  const std::vector<const std::string*>& Texts() const { return texts_; }
  const std::vector<int>& FirstPc() const { return firstPc_; }

 private:
  int RecordOf(int id) {
    int& mine = recordOf_[static_cast<std::size_t>(id)];
    if (mine < 0) {
      mine = Count();
      for (int f = 0; f < 5; ++f) fields_.push_back(TextOf(from_.FieldText(id, f)));
    }
    return mine;
  }
  int TextOf(int text) {
    if (text < 0) return text;
    int& mine = textOf_[static_cast<std::size_t>(text)];
    if (mine < 0) {
      mine = static_cast<int>(texts_.size());
      texts_.push_back(&from_.Text(text));
      firstPc_.push_back(pc_);
    }
    return mine;
  }

  const DistinctRecords& from_;
  std::vector<int> recordOf_, textOf_;  // by the numbers of `from_`; -1: none yet
  std::vector<int> fields_;             // five text numbers a record
  std::vector<const std::string*> texts_;
  std::vector<int> firstPc_;  // for each text, the PC whose records named it first
  int pc_ = -1;
};

struct Pc {
  std::int64_t collection;
  std::string number;
};

// pcs.csv's columns, the current collection, the file and the register's
// further columns of every PC, in the order of their numbers.
std::string PcRowsSql() {
  return "SELECT " + PcColumnsSql("s") +
         ", s.collection_id, s.file_name, r.extra FROM pc_summary s "
         "LEFT JOIN register r ON r.number = lower(s.number) ORDER BY s.number";
}

void WritePcs(sqlite3* db, JsonWriter& w, std::vector<Pc>& pcs) {
  // pcs.csv's columns, which the page shows with their headings.
  const int kPcColumnCount = static_cast<int>(PcColumns().size());
  w.Key("pcColumns").BeginArray();
  for (const PcColumn& c : PcColumns()) w.BeginArray().String(c.heading).Int(c.width).Int(c.numeric ? 1 : 0).EndArray();
  w.EndArray();
  w.Key("extraColumns");
  Statement columns(db, "SELECT value FROM meta WHERE key = 'register_columns'");
  if (columns.step() && !columns.isNull(0)) w.String(columns.text(0));
  else w.Null();

  w.Key("pcs").BeginArray();
  Statement rows(db, PcRowsSql());
  while (rows.step()) {
    w.BeginArray();
    for (int c = 0; c < kPcColumnCount; ++c) TextOrNull(w, rows, c);
    w.String(rows.text(kPcColumnCount + 1));
    TextOrNull(w, rows, kPcColumnCount + 2);
    w.EndArray();
    pcs.push_back({rows.integer(kPcColumnCount), rows.text(0)});
  }
  w.EndArray();

  // The older numbers of a PC now reported under another, each as its row
  // and the row of the number it is reported under now.
  std::unordered_map<std::string, std::int64_t> rowOf;
  for (std::size_t k = 0; k < pcs.size(); ++k) rowOf.emplace(pcs[k].number, static_cast<std::int64_t>(k));
  w.Key("older").BeginArray();
  Statement older(db, LEDGER_OLDER_NUMBERS " ORDER BY number");
  while (older.step()) {
    const auto from = rowOf.find(older.text(0)), to = rowOf.find(older.text(1));
    if (from != rowOf.end() && to != rowOf.end()) w.BeginArray().Int(from->second).Int(to->second).EndArray();
  }
  w.EndArray();

  // PCs whose every collection came with the last import, as the differences
  // between their rows (after a first import, every row: 1, 1, 1, ...).
  w.Key("newPcs").BeginArray();
  Statement fresh(db,
                  "SELECT p.number FROM pcs p WHERE NOT EXISTS (SELECT 1 FROM collections c "
                  "JOIN files f ON f.id = c.file_id WHERE c.number = p.number "
                  "AND f.import_id < (SELECT max(id) FROM imports)) ORDER BY p.number");
  std::size_t i = 0;
  std::int64_t last = 0;
  while (fresh.step()) {
    const std::string number = fresh.text(0);
    while (i < pcs.size() && pcs[i].number < number) ++i;
    if (i < pcs.size() && pcs[i].number == number) {
      w.Int(static_cast<std::int64_t>(i) - last);
      last = static_cast<std::int64_t>(i);
    }
  }
  w.EndArray();
}

// The software rows (name and version folded as at import, one of the Units,
// number of PCs), counted from the records already read: the view itself
// sorts every install of every PC again, seconds at 10,000 PCs. Each
// distinct record is folded once.
class SoftwareCount {
 public:
  void Add(const ReportRecords& table, int recordId, std::size_t pc) {
    const auto id = static_cast<std::size_t>(recordId);
    if (id >= rowOf_.size()) rowOf_.resize(id + 1, kUnknown);
    // Most records met once are hardware's (serials, addresses): not made into texts.
    if (rowOf_[id] == kUnknown) {
      rowOf_[id] = IsApplication(table.Text(recordId, 0), table.Text(recordId, 1)) ? RowOf(table.Get(recordId)) : kNone;
    }
    if (rowOf_[id] == kNone) return;
    Row& row = rows_[rowOf_[id]];
    if (row.pcs == 0 || row.lastPc != pc) ++row.pcs;
    row.lastPc = pc;
  }
  // Each row's place in the list, most installed first.
  std::vector<std::int64_t> Order() const {
    std::vector<std::size_t> order(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
      const Row &a = rows_[x], &b = rows_[y];
      return a.pcs != b.pcs ? a.pcs > b.pcs : std::tie(a.name, a.version) < std::tie(b.name, b.version);
    });
    std::vector<std::int64_t> position(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) position[order[i]] = static_cast<std::int64_t>(i);
    return position;
  }
  // The rows in the order `position` gives them.
  void WriteRows(JsonWriter& w, const std::vector<std::int64_t>& position) const {
    std::vector<const Row*> sorted(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) sorted[static_cast<std::size_t>(position[i])] = &rows_[i];
    w.Key("software").BeginArray();
    for (const Row* r : sorted) w.BeginArray().String(r->name).String(r->version).String(r->unit).Int(r->pcs).EndArray();
    w.EndArray();
  }
  // For every record (numbered as `renumber` says) its row or -1.
  void WriteOfRecord(JsonWriter& w, const std::vector<std::int64_t>& position, const std::vector<int>& renumber) const {
    std::vector<std::int64_t> ofRecord(renumber.size(), -1);
    for (std::size_t id = 0; id < rowOf_.size() && id < renumber.size(); ++id) {
      if (rowOf_[id] < rows_.size()) ofRecord[static_cast<std::size_t>(renumber[id])] = position[rowOf_[id]];
    }
    w.Key("softwareOfRecord").BeginArray();
    for (std::int64_t v : ofRecord) w.Int(v);
    w.EndArray();
  }

 private:
  static constexpr std::size_t kUnknown = SIZE_MAX, kNone = SIZE_MAX - 1;
  struct Row {
    std::string name, version, unit;
    std::int64_t pcs;
    std::size_t lastPc;
  };
  std::size_t RowOf(const Record& r) {
    if (!IsApplication(r)) return kNone;
    std::string name = FoldName(r.subitem), version = FoldName(r.contents), unit = FoldName(r.unit);
    key_ = name + '\x1f' + version;
    auto [it, added] = index_.try_emplace(key_, rows_.size());
    if (added) rows_.push_back({std::move(name), std::move(version), unit, 0, 0});
    Row& row = rows_[it->second];
    if (unit < row.unit) row.unit = std::move(unit);  // the smallest, as the software view
    return it->second;
  }
  std::string key_;
  std::unordered_map<std::string, std::size_t> index_;
  std::vector<Row> rows_;
  std::vector<std::size_t> rowOf_;  // by record id
};

// What changed since a PC's previous collection, as indices into the tables.
struct Change {
  std::string previousAt;
  std::vector<int> values;  // five per value: group, item, subitem, before, now (-1: none)
  std::vector<int> added, removed;
  bool otherPc = false;  // the number's previous collection is another PC's
};

Change Compact(const CollectionDiff& diff, std::string previousAt, DistinctRecords& table) {
  Change c{std::move(previousAt), {}, {}, {}};
  for (const ValueChange& v : diff.values) {
    c.values.insert(c.values.end(), {table.InternText(v.grp), table.InternText(v.item), table.InternText(v.subitem),
                                     v.hadBefore ? table.InternText(v.before) : -1,
                                     v.hasNow ? table.InternText(v.now) : -1});
  }
  for (const Record& r : diff.added) c.added.push_back(table.Intern(r));
  for (const Record& r : diff.removed) c.removed.push_back(table.Intern(r));
  return c;
}

void ReportRecords::Renumber(Change& c) {
  for (int& text : c.values) text = TextOf(text);
  for (int& id : c.added) id = RecordOf(id);
  for (int& id : c.removed) id = RecordOf(id);
}

void WriteInts(JsonWriter& w, const std::vector<int>& list) {
  w.BeginArray();
  for (int v : list) w.Int(v);
  w.EndArray();
}

// Each PC's record ids in file order, and what changed since its previous
// collection (the newest before the current one with a usable date).
struct PcRecords {
  std::vector<std::vector<int>> lists;
  std::vector<std::optional<Change>> changes;
};

std::vector<Record> Records(const DistinctRecords& table, const std::vector<int>& ids) {
  std::vector<Record> records;
  records.reserve(ids.size());
  for (int id : ids) records.push_back(table.Get(id));
  return records;
}

// The collections this run's import took come as it read them (`taken`);
// the others are read back.
PcRecords ReadPcRecords(sqlite3* db, const std::vector<Pc>& pcs, DistinctRecords& table, TakenRecords* taken) {
  // A NULL field reads as empty text, as view() and text() give it.
  Statement records(db, "SELECT grp, item, subitem, contents, unit FROM records WHERE collection_id = ? ORDER BY line");
  // The same PC's newest, or else another PC's under the number: two
  // collections are one PC unless their system UUIDs differ or, neither
  // having one, their computer names do.
  Statement previous(db, "SELECT c.id, c.collected_at, CASE WHEN "
                         "(" LEDGER_REAL_UUID("coalesce(c.system_uuid, '')") " AND " LEDGER_REAL_UUID("coalesce(cur.system_uuid, '')")
                         " AND " LEDGER_UUID_FORM("c.system_uuid") " <> " LEDGER_UUID_FORM("cur.system_uuid") ") OR "
                         "(NOT " LEDGER_REAL_UUID("coalesce(c.system_uuid, '')") " AND NOT " LEDGER_REAL_UUID("coalesce(cur.system_uuid, '')")
                         " AND c.computer_name <> '' AND cur.computer_name <> ''"
                         " AND upper(c.computer_name) <> upper(cur.computer_name)) THEN 0 ELSE 1 END AS same "
                         "FROM collections c, collections cur "
                         "WHERE cur.id = ?2 AND c.number = ?1 AND c.id <> ?2 AND c.date_problem IS NULL "
                         "AND c.collected_at <= cur.collected_at "
                         "ORDER BY same DESC, c.collected_at DESC, c.id DESC LIMIT 1");
  // Only a number with more than one collection can have a previous one:
  // most have one, and asking for each PC's is a statement run per PC.
  std::unordered_set<std::string> several;
  Statement many(db, "SELECT number FROM collections GROUP BY number HAVING count(*) > 1");
  while (many.step()) several.insert(many.text(0));
  PcRecords out;
  out.lists.reserve(pcs.size());
  out.changes.reserve(pcs.size());
  for (const Pc& pc : pcs) {
    std::vector<int>& ids = out.lists.emplace_back();
    if (taken && taken->Find(pc.collection)) {
      ids = taken->Take(pc.collection);
    } else {
      records.reset();
      records.bind(1, pc.collection);
      while (records.step())
        ids.push_back(table.Intern({records.view(0), records.view(1), records.view(2), records.view(3), records.view(4)}));
    }
    bool hasPrevious = false;
    if (several.count(pc.number)) {
      previous.reset();
      previous.bind(1, pc.number).bind(2, pc.collection);
      hasPrevious = previous.step();
    }
    if (!hasPrevious) {
      out.changes.emplace_back();
      continue;
    }
    const std::int64_t before = previous.integer(0);
    std::string at = previous.isNull(1) ? std::string() : previous.text(1);
    if (previous.integer(2) == 0) {  // not shown as this PC's previous state
      out.changes.push_back(Change{std::move(at), {}, {}, {}, true});
      continue;
    }
    const std::vector<int>* kept = taken ? taken->Find(before) : nullptr;
    const CollectionDiff diff =
        DiffCollections(kept ? Records(table, *kept) : CollectionRecords(records, before), Records(table, ids));
    out.changes.push_back(Compact(diff, std::move(at), table));
  }
  return out;
}

// The texts, each once. A PC's own value that is also a cell of its row in
// "pcs" (its name, serial numbers, addresses) is that cell's place, pc * 32 +
// column, so that it is written once: the rows are read again beside the
// texts, which come in the order of the PCs that first named them.
void WriteStrings(sqlite3* db, JsonWriter& w, const ReportRecords& table) {
  const int columns = std::min(32, static_cast<int>(PcColumns().size()));
  Statement rows(db, PcRowsSql());
  int at = -1;  // the row `rows` stands on, its cells below (NULL as empty)
  std::vector<std::string_view> cells(static_cast<std::size_t>(columns));
  w.Key("strings").BeginArray();
  for (std::size_t i = 0; i < table.Texts().size(); ++i) {
    const std::string& text = *table.Texts()[i];
    const int pc = table.FirstPc()[i];
    if (at < pc) {
      while (at < pc && rows.step()) ++at;
      for (int c = 0; at == pc && c < columns; ++c) cells[static_cast<std::size_t>(c)] = rows.view(c);
    }
    int cell = -1;
    for (int c = 0; at == pc && !text.empty() && c < columns && cell < 0; ++c)
      if (cells[static_cast<std::size_t>(c)] == text) cell = c;
    if (cell >= 0) w.Int(std::int64_t{pc} * 32 + cell);
    else w.String(text);
  }
  w.EndArray();
}

// Ints as the differences from the one before (the first as it is): the
// columns below mostly step by small amounts, which compress to little.
void WriteDeltas(JsonWriter& w, const std::vector<int>& list) {
  w.BeginArray();
  int last = 0;
  for (int v : list) {
    w.Int(static_cast<std::int64_t>(v) - last);
    last = v;
  }
  w.EndArray();
}

// The records of every PC and what changed, with the texts through one string
// table written last; returns the records' numbering in the output.
std::vector<int> WriteRecords(sqlite3* db, JsonWriter& w, const std::vector<Pc>& pcs, SoftwareCount& software,
                              TakenRecords* taken) {
  TakenRecords own;
  DistinctRecords& distinct = (taken ? *taken : own).records;
  auto [lists, changes] = ReadPcRecords(db, pcs, distinct, taken);
  distinct.CloseIndex();
  ReportRecords table(distinct);
  for (std::size_t pc = 0; pc < lists.size(); ++pc) {
    table.NextPc(lists[pc]);
    if (changes[pc]) table.Renumber(*changes[pc]);
    for (int id : lists[pc]) software.Add(table, id, pc);
  }
  const IdNumbering numbering = NumberByFrequency(lists, table.Count());
  const std::vector<int>& renumber = numbering.renumber;
  const auto renumbered = [&](std::vector<int> ids) {
    for (int& id : ids) id = renumber[static_cast<std::size_t>(id)];
    return ids;
  };
  // The records met more than once in the order of their texts, so that a
  // list in that order (applications by name) takes a character a record.
  std::vector<int> oldOf(static_cast<std::size_t>(numbering.singlesFrom));
  for (std::size_t old = 0; old < renumber.size(); ++old)
    if (renumber[old] < numbering.singlesFrom) oldOf[static_cast<std::size_t>(renumber[old])] = static_cast<int>(old);
  std::vector<int> byText(oldOf.size());
  for (std::size_t i = 0; i < byText.size(); ++i) byText[i] = static_cast<int>(i);
  std::sort(byText.begin(), byText.end(), [&](int a, int b) {
    for (int f = 0; f < 5; ++f) {
      const int c = table.Text(oldOf[static_cast<std::size_t>(a)], f).compare(table.Text(oldOf[static_cast<std::size_t>(b)], f));
      if (c != 0) return c < 0;
    }
    return a < b;
  });
  std::vector<int> rank(byText.size());
  for (std::size_t k = 0; k < byText.size(); ++k) rank[static_cast<std::size_t>(byText[k])] = static_cast<int>(k);
  w.Key("singlesFrom").Int(numbering.singlesFrom);
  w.Key("byText");
  WriteInts(w, byText);
  w.Key("pcRecords").BeginArray();
  int nextSingle = numbering.singlesFrom;
  for (auto& ids : lists) w.String(EncodeIds(renumbered(std::move(ids)), nextSingle, rank));
  w.EndArray();

  w.Key("changes").BeginArray();
  for (const auto& c : changes) {
    if (!c) {
      w.Null();
      continue;
    }
    w.BeginArray().String(c->previousAt);
    if (c->otherPc) {
      w.Bool(false).EndArray();
      continue;
    }
    WriteInts(w, c->values);
    WriteInts(w, renumbered(c->added));
    WriteInts(w, renumbered(c->removed));
    w.EndArray();
  }
  w.EndArray();

  // By column: the records met once follow each other with texts of their
  // own, so each column mostly steps by one.
  std::vector<int> column(renumber.size());
  w.Key("records").BeginArray();
  for (int f = 0; f < 5; ++f) {
    for (std::size_t old = 0; old < renumber.size(); ++old)
      column[static_cast<std::size_t>(renumber[old])] = table.Fields()[old * 5 + static_cast<std::size_t>(f)];
    WriteDeltas(w, column);
  }
  w.EndArray();
  WriteStrings(db, w, table);
  return renumber;
}

// One part of the data: a JSON object, compressed on its own and written as
// "name:" and its text on a line. The page decodes the parts its first
// view needs before the records of every PC.
class Part {
 public:
  Part(std::ostream& out, std::string_view name) : out_(out), packed_(out, kLevel), stream_(&packed_), json(stream_) {
    stream_.exceptions(std::ios::badbit);  // the compressor's faults are thrown, not kept in the stream's state
    out_ << name << ':';
    json.BeginObject();
  }
  void End() {
    json.EndObject();
    packed_.Finish();
    out_ << '\n';
  }

 private:
  static constexpr int kLevel = 8;
  std::ostream& out_;
  DeflateText packed_;
  std::ostream stream_;

 public:
  JsonWriter json;
};

}  // namespace

void WriteReportData(sqlite3* db, const ReportOptions& options, std::ostream& out) {
  // One read snapshot for the whole report, also when the caller holds a
  // transaction of its own.
  Statement(db, "SAVEPOINT report").run();
  struct Release {
    sqlite3* db;
    ~Release() { sqlite3_exec(db, "RELEASE report", nullptr, nullptr, nullptr); }
  } release{db};
  std::vector<Pc> pcs;
  {
    Part main(out, "main");
    main.json.Key("now").String(options.now.empty() ? LocalTimeText(std::time(nullptr)) : options.now);
    WriteOverview(db, main.json);
    WritePcs(db, main.json, pcs);
    main.End();
  }
  SoftwareCount software;
  Part records(out, "records");
  const std::vector<int> renumber = WriteRecords(db, records.json, pcs, software, options.taken);
  const std::vector<std::int64_t> rows = software.Order();
  software.WriteOfRecord(records.json, rows, renumber);
  records.End();
  Part rest(out, "software");
  software.WriteRows(rest.json, rows);
  WriteCatalogueData(db, rest.json);
  rest.End();
  Part win11(out, "win11");
  std::vector<std::string> numbers;
  numbers.reserve(pcs.size());
  for (const Pc& pc : pcs) numbers.push_back(pc.number);
  WriteWin11Data(db, numbers, win11.json);
  win11.End();
}

}  // namespace th::ledger

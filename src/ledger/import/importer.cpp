#include "ledger/import/importer.h"

#include <nlohmann/json.hpp>
#include <unordered_set>

#include "ledger/catalogue/catalogue_store.h"
#include "ledger/records/collection_summary.h"
#include "ledger/text/decode_memo.h"
#include "ledger/records/input_files.h"
#include "ledger/records/platform_facts.h"
#include "ledger/records/record_reader.h"
#include "ledger/import/sha256.h"
#include "ledger/text/text_fold.h"
#include "ledger/text/text_map.h"
#include "ledger/win11/plan.h"

namespace th::ledger {

namespace {

namespace fs = std::filesystem;

// Records go in kRecordBatch rows a statement: SQLite's cost per statement
// run is a good part of a row's. OR IGNORE, since no row can conflict (a new
// collection, its lines in order): a conflict that may abort would make
// SQLite keep a statement journal for the rows before it.
constexpr int kRecordBatch = 32;

std::string RecordInsert(int rows) {
  std::string sql = "INSERT OR IGNORE INTO records(collection_id, line, grp, item, subitem, contents, unit) VALUES";
  for (int i = 0; i < rows; ++i) sql += i == 0 ? "(?,?,?,?,?,?,?)" : ",(?,?,?,?,?,?,?)";
  return sql;
}

// The prepared statements of one run, bound and stepped once per row.
struct Statements {
  explicit Statements(Database& db)
      : seen(db.prepare("SELECT id, rejected, path, gone_at FROM files WHERE sha256 = ?")),
        moved(db.prepare("UPDATE files SET path = ?, name = ?, gone_at = NULL WHERE id = ?")),
        addFile(db.prepare("INSERT INTO files(sha256, path, name, size, import_id, rejected) VALUES(?,?,?,?,?,?)")),
        addCollection(db.prepare(
            "INSERT INTO collections(file_id, number, collected_at, renewalday, computer_name, system_uuid, macs,"
            " surname, given_name, user_name, os, os_version, cpu, memory, system_disk_size, system_disk_free,"
            " total_disk, maker, model, chassis, board_serial, ip_addresses, applications, complete, date_problem,"
            " bios_serial, long_value) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")),
        addRecord(db.prepare(RecordInsert(1))),
        addRecords(db.prepare(RecordInsert(kRecordBatch))),
        addMac(db.prepare("INSERT OR IGNORE INTO collection_macs(collection_id, mac) VALUES(?,?)")),
        addFold(db.prepare("INSERT INTO application_folds(collection_id, line, name, version, unit, duplicate)"
                           " VALUES(?,?,?,?,?,?)")),
        unread(db.prepare("INSERT OR REPLACE INTO unread_paths(path, reason, import_id) VALUES(?,?,?)")),
        addPlatform(db.prepare(PlatformInsert())) {}
  static std::string PlatformInsert() {
    std::string sql = "INSERT INTO collection_platform(collection_id", values = "?";
    for (const char* c : kPlatformColumns) {
      (sql += ", ") += c;
      values += ",?";
    }
    return sql + ") VALUES(" + values + ")";
  }
  Statement seen, moved, addFile, addCollection, addRecord, addRecords, addMac, addFold, unread, addPlatform;
};

std::int64_t Scalar(Database& db, const std::string& sql, std::int64_t arg = 0) {
  Statement s = db.prepare(sql);
  if (sql.find('?') != std::string::npos) s.bind(1, arg);
  return s.step() ? s.integer(0) : 0;
}

// An application's name, version and Unit folded.
struct FoldedApplication {
  std::string texts[3];    // each folded text that differs from the raw one
  unsigned changed = 0;    // bit i: texts[i] differs
  std::size_t folded = 0;  // the folded texts' number in Run::foldedKeys
  int record = -1;         // the record's number in ImportRequest::keep, once kept
};

// One run's state while it walks the inputs.
struct Run {
  Run(Database& d, platform::CodePage& cp, const ImportRequest& r) : db(d), codePage(cp), request(r), st(d) {}
  Database& db;
  DecodeMemo codePage;
  const ImportRequest& request;
  Statements st;
  std::int64_t importId = 0;
  std::string latestDate;  // a collection dated after this never becomes current
  std::unordered_set<std::string> seenPaths;
  // Applications folded, by their raw texts: most recur on many PCs, and
  // finding one is cheaper than folding it again. Emptied between files
  // once it holds kMaxFolds, so odd data cannot make it grow without end.
  static constexpr std::size_t kMaxFolds = 50'000;
  TextMap<FoldedApplication> folds;
  // The folded texts joined, numbered, and by number the collection that
  // last had them: a repeat within a collection is spotted without a set.
  TextMap<std::size_t> foldedKeys;
  std::vector<std::int64_t> lastCollection;
  std::string rawKey, folded, foldedKey;
  std::unordered_set<std::string> appNames;   // every taken collection's, folded, for the catalogue
  std::string bytes;
  RecordFile file;
  int newlyRejected = 0;
  ImportResult result;
};

// An application record whose texts folding changes, or that repeats an
// earlier one of the collection, is noted in application_folds. Returns its
// folding, which also keeps its number among the records kept.
FoldedApplication& FoldApplication(Run& run, std::int64_t collectionId, const RecordRow& row) {
  const std::string_view raw[] = {row.fields[kSubItem], row.fields[kContents], row.fields[kUnit]};
  run.rawKey.clear();
  for (std::string_view text : raw) {
    run.rawKey += text;
    run.rawKey += '\x1f';  // no field holds the unit separator
  }
  auto it = run.folds.find(std::string_view(run.rawKey));
  if (it == run.folds.end()) {
    FoldedApplication f;
    run.foldedKey.clear();
    for (int i = 0; i < 3; ++i) {
      FoldNameInto(raw[i], run.folded);
      run.foldedKey += run.folded;
      run.foldedKey += '\x1f';
      if (run.folded != raw[i]) {
        f.changed |= 1u << i;
        f.texts[i] = run.folded;
      }
    }
    const auto [key, added] = run.foldedKeys.try_emplace(run.foldedKey, run.foldedKeys.size());
    if (added) run.lastCollection.push_back(0);
    f.folded = key->second;
    run.appNames.emplace(f.changed & 1u ? std::string_view(f.texts[0]) : raw[0]);
    it = run.folds.emplace(run.rawKey, std::move(f)).first;
  }
  FoldedApplication& f = it->second;
  const bool duplicate = run.lastCollection[f.folded] == collectionId;
  run.lastCollection[f.folded] = collectionId;
  if (f.changed == 0 && !duplicate) return f;
  Statement& add = run.st.addFold;
  add.bind(1, collectionId).bind(2, std::int64_t{row.line});
  for (int i = 0; i < 3; ++i) {
    if (f.changed & (1u << i)) add.bind(i + 3, f.texts[i]);
    else add.bindNull(i + 3);
  }
  add.bind(6, std::int64_t{duplicate ? 1 : 0}).run();
  return f;
}

// The number of a row's record among those kept. An application's is kept
// with its folding (`known`), which its raw texts name as they name the
// record: most are looked up once per distinct application, not per row.
int KeepRecord(Run& run, const RecordRow& row, int* known) {
  if (known && *known >= 0) return *known;
  const int number = run.request.keep->records.Intern(
      {row.fields[kGroup], row.fields[kItem], row.fields[kSubItem], row.fields[kContents], row.fields[kUnit]});
  if (known) *known = number;
  return number;
}

void TakeCollection(Run& run, std::int64_t fileId) {
  const RecordFile& file = run.file;
  const CollectionSummary s = Summarise(file);
  const std::string macs = JoinBlank(s.macs), ips = JoinBlank(s.ips);
  Statement& c = run.st.addCollection;
  c.bind(1, fileId).bind(2, file.key());
  if (s.collectedAt.empty()) c.bindNull(3);
  else c.bind(3, s.collectedAt);
  c.bind(4, s.renewalday);
  int i = 4;
  for (std::string_view v : {s.computerName, s.systemUuid, std::string_view(macs), s.surname, s.givenName, s.userName,
                             s.os, s.osVersion, s.cpu, s.memory, s.systemDiskSize, s.systemDiskFree, s.totalDisk,
                             s.maker, s.model, s.chassis, s.boardSerial, std::string_view(ips)}) {
    c.bind(++i, v);
  }
  c.bind(i + 1, std::int64_t{s.applications}).bind(i + 2, std::int64_t{s.complete ? 1 : 0});
  if (s.collectedAt.empty()) c.bind(i + 3, "bad_date");
  else if (s.collectedAt > run.latestDate) c.bind(i + 3, "future_date");
  else c.bindNull(i + 3);
  c.bind(i + 4, s.biosSerial).bind(i + 5, std::int64_t{s.longValue ? 1 : 0});
  c.run();
  const std::int64_t id = run.db.lastInsertId();

  if (run.folds.size() >= Run::kMaxFolds) {
    run.folds.clear();
    run.foldedKeys.clear();
    run.lastCollection.clear();
  }
  std::vector<int>* kept = nullptr;
  if (run.request.keep) {
    kept = &run.request.keep->Collection(id);
    kept->reserve(file.rows.size());
  }
  const std::size_t batched = file.rows.size() / kRecordBatch * kRecordBatch;
  for (std::size_t i = 0; i < file.rows.size(); ++i) {
    const RecordRow& row = file.rows[i];
    Statement& r = i < batched ? run.st.addRecords : run.st.addRecord;
    const int at = i < batched ? static_cast<int>(i % kRecordBatch) * 7 : 0;
    r.bind(at + 1, id).bind(at + 2, std::int64_t{row.line});
    for (std::size_t f = kGroup; f <= kUnit; ++f) r.bind(at + static_cast<int>(f) + 2, row.fields[f]);
    if (i >= batched || at == (kRecordBatch - 1) * 7) r.run();
    int* known = nullptr;
    if (row.fields[kGroup] == "Soft" && row.fields[kItem] == "Application") known = &FoldApplication(run, id, row).record;
    if (kept) kept->push_back(KeepRecord(run, row, known));
  }
  for (std::string_view mac : s.macs) run.st.addMac.bind(1, id).bind(2, mac).run();
  if (const std::optional<PlatformFacts> platform = ReadPlatformFacts(file)) {
    Statement& p = run.st.addPlatform;
    p.bind(1, id);
    for (std::size_t f = 0; f < kPlatformFacts; ++f) {
      if (platform->facts[f]) p.bind(static_cast<int>(f) + 2, *platform->facts[f]);
      else p.bindNull(static_cast<int>(f) + 2);
    }
    p.run();
  }
}

void Unreadable(Run& run, const std::string& path, const std::string& reason) {
  run.st.unread.bind(1, path).bind(2, reason).bind(3, run.importId).run();
  run.result.rejected.push_back({path, reason});
}

// A file read before: met again, perhaps at another path.
void MetAgain(Run& run, const std::string& pathText) {
  Statement& seen = run.st.seen;
  ++run.result.alreadyRead;
  if (!seen.isNull(1)) run.result.rejected.push_back({pathText, seen.text(1)});
  // Moved (the path it was read at is no longer there) or back after it was
  // gone. A copy beside a file that is still there changes nothing.
  const std::string before = seen.text(2);
  std::error_code ec;
  const bool moved = before != pathText && !fs::exists(PathFromUtf8(before), ec) && !ec;
  if (moved || !seen.isNull(3)) {
    const std::string newPath = moved ? pathText : before;
    const std::string name = Utf8FromPath(PathFromUtf8(newPath).filename());
    run.st.moved.bind(1, newPath).bind(2, name).bind(3, seen.integer(0)).run();
  }
}

void TakeOrReject(Run& run, const std::string& pathText, const fs::path& path, const std::string& hash) {
  ReadRecordFile(run.bytes, run.codePage, run.file);
  const std::string name = Utf8FromPath(path.filename());
  Statement& add = run.st.addFile;
  add.bind(1, hash).bind(2, pathText).bind(3, name).bind(4, static_cast<std::int64_t>(run.bytes.size()));
  add.bind(5, run.importId);
  if (run.file.rejected.empty()) add.bindNull(6);
  else add.bind(6, run.file.rejected);
  add.run();
  if (run.file.rejected.empty()) {
    TakeCollection(run, run.db.lastInsertId());
    ++run.result.taken;
  } else {
    ++run.newlyRejected;
    run.result.rejected.push_back({pathText, run.file.rejected});
  }
}

void ReadOne(Run& run, const fs::path& path) {
  ++run.result.filesRead;
  const std::string pathText = Utf8FromPath(fs::absolute(path));
  run.seenPaths.insert(pathText);
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > kMaxRecordFileBytes) {
    Unreadable(run, pathText,
               "大きすぎるファイルです（" + std::to_string(size) + " バイト、上限 64 MiB） / file over 64 MiB");
    return;
  }
  if (ec || !ReadWholeFile(path, run.bytes)) {
    Unreadable(run, pathText, "ファイルを読めません / cannot read the file");
    return;
  }
  const std::string hash = Sha256Hex(run.bytes);
  Statement& seen = run.st.seen;
  seen.bind(1, hash);
  if (seen.step()) {
    MetAgain(run, pathText);
    seen.reset();
  } else {
    seen.reset();
    TakeOrReject(run, pathText, path, hash);
  }
}

// Calls `each` with the range of absolute paths under every folder scanned:
// [from, to) as text.
void ForEachScannedRoot(const ImportRequest& request,
                        const std::function<void(const std::string&, const std::string&)>& each) {
  for (const std::string& input : request.inputs) {
    std::error_code ec;
    const fs::path root = PathFromUtf8(input);
    if (!fs::is_directory(root, ec)) continue;
    std::string from = Utf8FromPath(fs::absolute(root).lexically_normal());
    if (from.empty() || from.back() != static_cast<char>(fs::path::preferred_separator)) {
      from += static_cast<char>(fs::path::preferred_separator);
    }
    std::string to = from;
    ++to.back();
    each(from, to);
  }
}

// Files under a scanned folder that this run did not meet and that no longer
// exist are gone: their collections leave the current view.
void MarkGone(Run& run) {
  Statement under = run.db.prepare("SELECT id, path FROM files WHERE gone_at IS NULL AND path > ? AND path < ?");
  Statement gone = run.db.prepare("UPDATE files SET gone_at = ? WHERE id = ?");
  ForEachScannedRoot(run.request, [&](const std::string& from, const std::string& to) {
    under.reset();
    under.bind(1, from).bind(2, to);
    std::vector<std::int64_t> missing;
    while (under.step()) {
      const std::string path = under.text(1);
      std::error_code ec;
      if (!run.seenPaths.count(path) && !fs::exists(PathFromUtf8(path), ec) && !ec) missing.push_back(under.integer(0));
    }
    for (const std::int64_t id : missing) {
      gone.bind(1, run.request.startedAt).bind(2, id).run();
      ++run.result.gone;
    }
  });
}

void Forget(Run& run) {
  for (const std::string& number : run.request.forget) {
    const char* byCollection[] = {"records", "collection_macs", "application_folds", "collection_platform"};
    for (const char* table : byCollection) {
      run.db.prepare(std::string("DELETE FROM ") + table +
                     " WHERE collection_id IN (SELECT id FROM collections WHERE number = ?)")
          .bind(1, number)
          .run();
    }
    Statement del = run.db.prepare("DELETE FROM collections WHERE number = ?");
    del.bind(1, number).run();
    run.result.forgotten += sqlite3_changes(run.db.get());
  }
}

// Each number's current collection: the newest by date, on a tie the file
// whose path sorts last; never one without a usable date or whose file is gone.
void ChooseCurrent(Database& db) {
  db.exec(
      "DELETE FROM pcs;"
      "INSERT INTO pcs(number, collection_id)"
      " SELECT number, id FROM (SELECT c.number, c.id, ROW_NUMBER() OVER (PARTITION BY c.number"
      "   ORDER BY c.collected_at DESC, f.path DESC, c.id DESC) AS n"
      "   FROM collections c JOIN files f ON f.id = c.file_id"
      "   WHERE c.date_problem IS NULL AND f.gone_at IS NULL)"
      " WHERE n = 1");
}

void StoreRegister(Database& db, const RegisterList& list) {
  db.exec("DELETE FROM register");
  Statement add = db.prepare("INSERT OR IGNORE INTO register(number, extra) VALUES(?, ?)");
  for (const auto& row : list.rows) {
    const std::string extra = nlohmann::json(row.extra).dump();
    add.bind(1, row.number).bind(2, extra).run();
  }
  const std::string columns = nlohmann::json(list.columns).dump();
  db.prepare("INSERT OR REPLACE INTO meta(key, value) VALUES('register_columns', ?)").bind(1, columns).run();
}

void CountPcs(Database& db, std::int64_t lastBefore, ImportResult& result) {
  result.newPcs = static_cast<int>(Scalar(db,
                                          "SELECT COUNT(*) FROM pcs WHERE number NOT IN"
                                          " (SELECT number FROM collections WHERE id <= ?)",
                                          lastBefore));
  result.updatedPcs = static_cast<int>(Scalar(db,
                                              "SELECT COUNT(*) FROM pcs WHERE collection_id > ?1 AND number IN"
                                              " (SELECT number FROM collections WHERE id <= ?1)",
                                              lastBefore));
  result.pcs = static_cast<int>(Scalar(db, "SELECT COUNT(*) FROM pcs"));
}

void RecordImport(Run& run) {
  const ImportResult& r = run.result;
  if (r.taken + run.newlyRejected + r.gone + r.forgotten == 0) {
    // Nothing new: the run leaves no trace of itself.
    run.db.prepare("DELETE FROM imports WHERE id = ?").bind(1, run.importId).run();
    return;
  }
  run.db.prepare("UPDATE imports SET files_read = ?, new_pcs = ?, updated_pcs = ?, rejected = ? WHERE id = ?")
      .bind(1, std::int64_t{r.filesRead})
      .bind(2, std::int64_t{r.newPcs})
      .bind(3, std::int64_t{r.updatedPcs})
      .bind(4, std::int64_t{run.newlyRejected})
      .bind(5, run.importId)
      .run();
}

}  // namespace

ImportResult Import(Database& db, platform::CodePage& codePage, const ImportRequest& request) {
  std::size_t total = 0;
  InputWalk walk{request.inputs, request.excluded, nullptr, [](const fs::path&, const std::string&) {}};
  if (request.progress) {
    walk.file = [&](const fs::path&) { ++total; };
    ForEachInputFile(walk);
  }

  Transaction tx(db);
  Run run(db, codePage, request);
  db.prepare("INSERT INTO imports(started_at) VALUES(?)").bind(1, request.startedAt).run();
  run.importId = db.lastInsertId();
  const std::int64_t lastBefore = Scalar(db, "SELECT COALESCE(MAX(id), 0) FROM collections");
  {
    Statement limit = db.prepare("SELECT datetime(?, '+1 day')");
    limit.bind(1, request.startedAt);
    run.latestDate = limit.step() ? limit.text(0) : request.startedAt;
  }
  // What could not be read is said by the last run that read files.
  if (!request.inputs.empty()) db.exec("DELETE FROM unread_paths");

  walk.file = [&](const fs::path& path) {
    ReadOne(run, path);
    if (request.progress) request.progress(static_cast<std::size_t>(run.result.filesRead), total);
  };
  walk.unreadable = [&](const fs::path& folder, const std::string& why) {
    Unreadable(run, Utf8FromPath(fs::absolute(folder)), "フォルダーを読めません / cannot read the folder: " + why);
  };
  ForEachInputFile(walk);
  MarkGone(run);
  Forget(run);
  ChooseCurrent(db);

  if (request.registerList) StoreRegister(db, *request.registerList);
  if (request.catalogue) StoreCatalogue(db, *request.catalogue);
  // A new catalogue matches the stored collections' names too.
  MatchCatalogue(db, request.catalogue ? 0 : lastBefore, lastBefore, run.appNames);
  if (request.prices) StorePriceList(db, *request.prices);
  RecomputeWin11Plan(db, request.checks.today);
  CountPcs(db, lastBefore, run.result);
  RecordImport(run);
  run.result.findings = RecomputeFindings(db, request.checks);
  tx.commit();
  return run.result;
}

}  // namespace th::ledger

#include "ledger/importer.h"

#include <nlohmann/json.hpp>

#include "ledger/catalogue_store.h"
#include "ledger/collection_summary.h"
#include "ledger/input_files.h"
#include "ledger/record_reader.h"
#include "ledger/sha256.h"

namespace th::ledger {

namespace {

namespace fs = std::filesystem;

// The prepared statements of one run, bound and stepped once per row.
struct Statements {
  explicit Statements(Database& db)
      : seen(db.prepare("SELECT rejected FROM files WHERE sha256 = ?")),
        addFile(db.prepare("INSERT INTO files(sha256, path, name, size, import_id, rejected) VALUES(?,?,?,?,?,?)")),
        addCollection(db.prepare(
            "INSERT INTO collections(file_id, number, collected_at, renewalday, computer_name, system_uuid, macs,"
            " surname, given_name, user_name, os, os_version, cpu, memory, system_disk_size, system_disk_free,"
            " total_disk, maker, model, chassis, board_serial, ip_addresses, applications, complete)"
            " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")),
        addRecord(db.prepare("INSERT INTO records(collection_id, line, grp, item, subitem, contents, unit)"
                             " VALUES(?,?,?,?,?,?,?)")),
        addMac(db.prepare("INSERT OR IGNORE INTO collection_macs(collection_id, mac) VALUES(?,?)")),
        // The newer collection becomes current; on a tie, the later import.
        setCurrent(db.prepare(
            "INSERT INTO pcs(number, collection_id) VALUES(?1, ?2) ON CONFLICT(number) DO UPDATE"
            " SET collection_id = excluded.collection_id"
            " WHERE (SELECT collected_at FROM collections WHERE id = excluded.collection_id)"
            "    >= (SELECT collected_at FROM collections WHERE id = pcs.collection_id)")) {}
  Statement seen, addFile, addCollection, addRecord, addMac, setCurrent;
};

std::int64_t Scalar(Database& db, const std::string& sql, std::int64_t arg = 0) {
  Statement s = db.prepare(sql);
  if (sql.find('?') != std::string::npos) s.bind(1, arg);
  return s.step() ? s.integer(0) : 0;
}

void TakeCollection(Database& db, Statements& st, std::int64_t fileId, const RecordFile& file) {
  const CollectionSummary s = Summarise(file);
  const std::string macs = JoinBlank(s.macs), ips = JoinBlank(s.ips);
  Statement& c = st.addCollection;
  c.bind(1, fileId).bind(2, file.key()).bind(3, s.collectedAt).bind(4, s.renewalday);
  int i = 4;
  for (std::string_view v : {s.computerName, s.systemUuid, std::string_view(macs), s.surname, s.givenName, s.userName,
                             s.os, s.osVersion, s.cpu, s.memory, s.systemDiskSize, s.systemDiskFree, s.totalDisk,
                             s.maker, s.model, s.chassis, s.boardSerial, std::string_view(ips)}) {
    c.bind(++i, v);
  }
  c.bind(i + 1, std::int64_t{s.applications}).bind(i + 2, std::int64_t{s.complete ? 1 : 0});
  c.run();
  const std::int64_t id = db.lastInsertId();

  Statement& r = st.addRecord;
  for (const RecordRow& row : file.rows) {
    r.bind(1, id).bind(2, std::int64_t{row.line});
    for (std::size_t f = kGroup; f <= kUnit; ++f) r.bind(static_cast<int>(f) + 2, row.fields[f]);
    r.run();
  }
  for (std::string_view mac : s.macs) st.addMac.bind(1, id).bind(2, mac).run();
  st.setCurrent.bind(1, file.key()).bind(2, id).run();
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

}  // namespace

ImportResult Import(Database& db, platform::CodePage& codePage, const ImportRequest& request) {
  std::size_t total = 0;
  if (request.progress) ForEachInputFile(request.inputs, [&](const fs::path&) { ++total; });

  Transaction tx(db);
  Statements st(db);
  db.prepare("INSERT INTO imports(started_at) VALUES(?)").bind(1, request.startedAt).run();
  const std::int64_t importId = db.lastInsertId();
  const std::int64_t lastBefore = Scalar(db, "SELECT COALESCE(MAX(id), 0) FROM collections");

  ImportResult result;
  std::string bytes;
  RecordFile file;
  int newlyRejected = 0;
  ForEachInputFile(request.inputs, [&](const fs::path& path) {
    ++result.filesRead;
    const std::string pathText = Utf8FromPath(fs::absolute(path));
    if (!ReadWholeFile(path, bytes)) {
      // Not recorded: nothing was read, so there is no content to remember.
      result.rejected.push_back({pathText, "ファイルを読めません"});
    } else {
      const std::string hash = Sha256Hex(bytes);
      st.seen.bind(1, hash);
      if (st.seen.step()) {
        ++result.alreadyRead;
        if (!st.seen.isNull(0)) result.rejected.push_back({pathText, st.seen.text(0)});
        st.seen.reset();
      } else {
        st.seen.reset();
        ReadRecordFile(bytes, codePage, file);
        const std::string name = Utf8FromPath(path.filename());
        st.addFile.bind(1, hash).bind(2, pathText).bind(3, name).bind(4, static_cast<std::int64_t>(bytes.size()));
        st.addFile.bind(5, importId);
        if (file.rejected.empty()) {
          st.addFile.bindNull(6);
        } else {
          st.addFile.bind(6, file.rejected);
        }
        st.addFile.run();
        if (file.rejected.empty()) {
          TakeCollection(db, st, db.lastInsertId(), file);
          ++result.taken;
        } else {
          ++newlyRejected;
          result.rejected.push_back({pathText, file.rejected});
        }
      }
    }
    if (request.progress) request.progress(static_cast<std::size_t>(result.filesRead), total);
  });

  if (request.registerList) StoreRegister(db, *request.registerList);
  if (request.catalogue) StoreCatalogue(db, *request.catalogue);
  MatchCatalogue(db, request.catalogue ? 0 : lastBefore);
  result.newPcs = static_cast<int>(Scalar(db,
                                          "SELECT COUNT(*) FROM pcs WHERE number NOT IN"
                                          " (SELECT number FROM collections WHERE id <= ?)",
                                          lastBefore));
  result.updatedPcs = static_cast<int>(Scalar(db,
                                              "SELECT COUNT(*) FROM pcs WHERE collection_id > ?1 AND number IN"
                                              " (SELECT number FROM collections WHERE id <= ?1)",
                                              lastBefore));
  result.pcs = static_cast<int>(Scalar(db, "SELECT COUNT(*) FROM pcs"));
  if (result.taken + newlyRejected > 0) {
    db.prepare("UPDATE imports SET files_read = ?, new_pcs = ?, updated_pcs = ?, rejected = ? WHERE id = ?")
        .bind(1, std::int64_t{result.filesRead})
        .bind(2, std::int64_t{result.newPcs})
        .bind(3, std::int64_t{result.updatedPcs})
        .bind(4, std::int64_t{newlyRejected})
        .bind(5, importId)
        .run();
  } else {
    // Nothing new: the run leaves no trace of itself.
    db.prepare("DELETE FROM imports WHERE id = ?").bind(1, importId).run();
  }
  result.findings = RecomputeFindings(db, request.checks);
  tx.commit();
  return result;
}

}  // namespace th::ledger

#include "ledger/store/sqlite.h"

namespace th::ledger {

Database::Database(const std::string& path) {
  const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw DbError(msg);
  }
  sqlite3_extended_result_codes(db_, 1);
  // Another program reading the database (a report, a SQL tool) should delay
  // an import briefly rather than fail it.
  sqlite3_busy_timeout(db_, 5000);
}

Database::~Database() {
  if (owned_) sqlite3_close_v2(db_);
}

void Database::exec(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    const std::string msg = err ? err : sqlite3_errmsg(db_);
    sqlite3_free(err);
    throw DbError(msg);
  }
}

Statement Database::prepare(std::string_view sql) { return Statement(db_, sql); }

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  check(sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_,
                           nullptr));
}

void Statement::check(int rc) const {
  if (rc != SQLITE_OK) throw DbError(sqlite3_errmsg(db_));
}

Statement& Statement::bind(int i, std::string_view text) {
  check(sqlite3_bind_text64(stmt_, i, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8));
  return *this;
}

Statement& Statement::bind(int i, std::int64_t value) {
  check(sqlite3_bind_int64(stmt_, i, value));
  return *this;
}

Statement& Statement::bindNull(int i) {
  check(sqlite3_bind_null(stmt_, i));
  return *this;
}

bool Statement::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  const std::string msg = sqlite3_errmsg(db_);
  sqlite3_reset(stmt_);
  throw DbError(msg);
}

void Statement::run() {
  step();
  reset();
}

void Statement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::string_view Statement::view(int col) const {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
  return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : std::string_view();
}

std::string Statement::text(int col) const {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
  return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
}

Transaction::Transaction(Database& db) : db_(db), nested_(sqlite3_get_autocommit(db.get()) == 0) {
  db_.exec(nested_ ? "SAVEPOINT tx" : "BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (done_) return;
  sqlite3_exec(db_.get(), nested_ ? "ROLLBACK TO tx; RELEASE tx" : "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
  db_.exec(nested_ ? "RELEASE tx" : "COMMIT");
  done_ = true;
}

}  // namespace th::ledger

#pragma once
// Small owners for an SQLite connection and its prepared statements. Every
// failure throws DbError with SQLite's own message.
#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace th::ledger {

struct DbError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Statement;

class Database {
 public:
  // Opens (creating when missing) the database file, UTF-8 path.
  explicit Database(const std::string& path);
  // Borrows a connection opened elsewhere, which stays open after it.
  explicit Database(sqlite3* borrowed) : db_(borrowed), owned_(false) {}
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* get() const { return db_; }
  // Runs one or more statements that return no rows.
  void exec(const std::string& sql);
  Statement prepare(std::string_view sql);
  std::int64_t lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

 private:
  sqlite3* db_ = nullptr;
  bool owned_ = true;
};

class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(Statement&& o) noexcept : db_(o.db_), stmt_(o.stmt_) { o.stmt_ = nullptr; }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& operator=(Statement&&) = delete;

  // Binds by 1-based index. Texts are bound without copying: the caller
  // keeps them alive until step(), which a temporary string would not.
  Statement& bind(int i, std::string_view text);
  Statement& bind(int i, const char* text) { return bind(i, std::string_view(text)); }
  Statement& bind(int i, std::string&& text) = delete;
  Statement& bind(int i, std::int64_t value);
  Statement& bindNull(int i);
  // True while a row is available.
  bool step();
  // Steps a statement that returns no row (or ignores it) and resets it.
  void run();
  void reset();

  sqlite3_stmt* get() const { return stmt_; }
  std::int64_t integer(int col) const { return sqlite3_column_int64(stmt_, col); }
  std::string text(int col) const;
  // The text in SQLite's own buffer: valid until the next step or reset.
  std::string_view view(int col) const;
  bool isNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }

 private:
  void check(int rc) const;
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// One transaction: rolled back unless commit() was called. Inside another
// one it is a savepoint of it.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit();

 private:
  Database& db_;
  bool nested_ = false;
  bool done_ = false;
};

}  // namespace th::ledger

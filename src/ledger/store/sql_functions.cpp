#include "ledger/store/sql_functions.h"

#include <string>

#include "shared/management_number.h"
#include "ledger/records/record_file_name.h"
#include "ledger/text/text_fold.h"

namespace th::ledger {

namespace {

std::string_view Arg(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
  sqlite3_result_text64(ctx, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqlFoldName(sqlite3_context* ctx, int, sqlite3_value** argv) { ResultText(ctx, FoldName(Arg(argv[0]))); }
void SqlFoldKey(sqlite3_context* ctx, int, sqlite3_value** argv) { ResultText(ctx, FoldKey(Arg(argv[0]))); }

void SqlIsManagementNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_int(ctx, forms::IsManagementNumber(Arg(argv[0])) ? 1 : 0);
}

void SqlNameMatchesKey(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_int(ctx, NameMatchesKey(Arg(argv[0]), Arg(argv[1])) ? 1 : 0);
}

}  // namespace

void RegisterSqlFunctions(Database& db) {
  using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);
  const struct {
    const char* name;
    int args;
    Fn fn;
  } functions[] = {{"fold_name", 1, SqlFoldName},
                   {"fold_key", 1, SqlFoldKey},
                   {"is_management_number", 1, SqlIsManagementNumber},
                   {"name_matches_key", 2, SqlNameMatchesKey}};
  for (const auto& f : functions) {
    const int rc = sqlite3_create_function(db.get(), f.name, f.args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                           f.fn, nullptr, nullptr);
    if (rc != SQLITE_OK) throw DbError(std::string("SQL function ") + f.name + ": " + sqlite3_errstr(rc));
  }
}

}  // namespace th::ledger

#include "ledger/report/catalogue_data.h"

#include <map>
#include <string>

#include "ledger/store/sqlite.h"

namespace th::ledger {

namespace {

void IntOrNull(JsonWriter& w, const Statement& s, int col) {
  if (s.isNull(col)) w.Null();
  else w.Int(s.integer(col));
}

}  // namespace

void WriteCatalogueData(sqlite3* db, JsonWriter& w) {
  // [product, publisher, kind, kind title, owned, installed, balance, end of support], in the catalogue's order.
  std::map<std::string, std::int64_t> index;
  w.Key("licences").BeginArray();
  Statement products(db, "SELECT product, coalesce(publisher, ''), kind, kind_title, owned, installed, balance,"
                         " end_of_support FROM licences ORDER BY line");
  while (products.step()) {
    index.emplace(products.text(0), static_cast<std::int64_t>(index.size()));
    w.BeginArray();
    for (int c = 0; c < 4; ++c) w.String(products.text(c));
    for (int c = 4; c < 7; ++c) IntOrNull(w, products, c);
    if (products.isNull(7)) w.Null();
    else w.String(products.text(7));
    w.EndArray();
  }
  w.EndArray();

  // [name, product index] for every name matched.
  for (const auto& [key, os] : {std::pair{"appProducts", 0}, std::pair{"osProducts", 1}}) {
    w.Key(key).BeginArray();
    Statement names(db, "SELECT name, product FROM catalogue_matches WHERE os = ? AND product IS NOT NULL ORDER BY name");
    names.bind(1, std::int64_t{os});
    while (names.step()) {
      const auto it = index.find(names.text(1));
      if (it != index.end()) w.BeginArray().String(names.text(0)).Int(it->second).EndArray();
    }
    w.EndArray();
  }
}

}  // namespace th::ledger

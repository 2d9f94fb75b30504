#include "ledger/catalogue/catalogue_store.h"

#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "ledger/catalogue/catalogue_match.h"

namespace th::ledger {

namespace {

Catalogue LoadCatalogue(Database& db) {
  Catalogue c;
  std::map<std::string, std::size_t> index;
  Statement products = db.prepare("SELECT product FROM catalogue_products ORDER BY line");
  while (products.step()) {
    index.emplace(products.text(0), c.products.size());
    c.products.push_back({products.text(0), {}, ProductKind::Free, std::nullopt, {}, 0});
  }
  Statement patterns = db.prepare("SELECT line, pattern, product FROM catalogue_patterns ORDER BY line");
  while (patterns.step()) {
    const auto it = index.find(patterns.text(2));
    if (it != index.end()) c.patterns.push_back({static_cast<int>(patterns.integer(0)), patterns.text(1), it->second});
  }
  return c;
}

void MatchNames(Database& db, const Catalogue& c, const std::vector<std::string>& names, bool os,
                const CatalogueMatcher& matcher) {
  Statement add = db.prepare("INSERT OR IGNORE INTO catalogue_matches(os, name, product) VALUES(?, ?, ?)");
  for (const std::string& name : names) {
    const auto product = os ? matcher.matchOs(name) : matcher.matchApplication(name);
    add.bind(1, std::int64_t{os ? 1 : 0}).bind(2, name);
    if (product) add.bind(3, c.products[*product].name);
    else add.bindNull(3);
    add.run();
  }
}

std::vector<std::string> Texts(Statement& s) {
  std::vector<std::string> found;
  while (s.step()) found.push_back(s.text(0));
  return found;
}

}  // namespace

void StoreCatalogue(Database& db, const Catalogue& catalogue) {
  db.exec("DELETE FROM catalogue_products; DELETE FROM catalogue_patterns; DELETE FROM catalogue_matches;");
  Statement product = db.prepare(
      "INSERT INTO catalogue_products(product, publisher, kind, kind_title, licences, end_of_support, line)"
      " VALUES(?,?,?,?,?,?,?)");
  for (const CatalogueProduct& p : catalogue.products) {
    product.bind(1, p.name).bind(2, p.publisher).bind(3, std::string_view(KindCode(p.kind)));
    product.bind(4, std::string_view(KindTitle(p.kind)));
    if (p.licences) product.bind(5, std::int64_t{*p.licences});
    else product.bindNull(5);
    if (p.endOfSupport.empty()) product.bindNull(6);
    else product.bind(6, p.endOfSupport);
    product.bind(7, std::int64_t{p.line}).run();
  }
  Statement pattern = db.prepare("INSERT INTO catalogue_patterns(line, pattern, product) VALUES(?,?,?)");
  for (const CataloguePattern& p : catalogue.patterns) {
    pattern.bind(1, std::int64_t{p.line}).bind(2, p.pattern).bind(3, catalogue.products[p.product].name).run();
  }
}

void MatchCatalogue(Database& db, std::int64_t sinceCollection, std::int64_t lastStored,
                    const std::unordered_set<std::string>& newNames) {
  const Catalogue c = LoadCatalogue(db);
  if (c.patterns.empty()) return;
  const CatalogueMatcher matcher(c);
  // Every collection's names, current or not, so that a PC whose current
  // collection changes back finds its names matched.
  Statement stored = db.prepare(
      "SELECT DISTINCT n FROM (SELECT COALESCE(x.name, r.subitem) AS n FROM records r"
      " LEFT JOIN application_folds x ON x.collection_id = r.collection_id AND x.line = r.line"
      " WHERE r.collection_id > ?1 AND r.collection_id <= ?2 AND r.grp = 'Soft' AND r.item = 'Application')"
      " WHERE NOT EXISTS (SELECT 1 FROM catalogue_matches m WHERE m.os = 0 AND m.name = n)");
  stored.bind(1, sinceCollection).bind(2, lastStored);
  std::vector<std::string> applications = Texts(stored);
  Statement known = db.prepare("SELECT 1 FROM catalogue_matches WHERE os = 0 AND name = ?");
  for (const std::string& name : newNames) {
    known.bind(1, name);
    if (!known.step()) applications.push_back(name);
    known.reset();
  }
  MatchNames(db, c, applications, false, matcher);
  Statement captions = db.prepare(
      "SELECT DISTINCT c.os FROM collections c WHERE c.id > ? AND c.os IS NOT NULL"
      " AND NOT EXISTS (SELECT 1 FROM catalogue_matches m WHERE m.os = 1 AND m.name = c.os)");
  captions.bind(1, sinceCollection);
  MatchNames(db, c, Texts(captions), true, matcher);
}

}  // namespace th::ledger

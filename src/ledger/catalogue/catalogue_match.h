#pragma once
// Which catalogue product an application's name, or an OS caption, is.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ledger/catalogue/catalogue_file.h"

namespace th::ledger {

// Compares a folded pattern with a folded name: "*" any run of characters,
// "?" exactly one (a character, not a byte), anything else itself.
bool WildcardMatch(std::string_view pattern, std::string_view name);

class CatalogueMatcher {
 public:
  // Names and patterns are compared as the ledger's name folding keys them:
  // NFKC, blanks trimmed, case aside.
  explicit CatalogueMatcher(const Catalogue& catalogue);

  // The product index of the first pattern that matches, if any. `OS:`
  // patterns match only captions, the others only application names.
  std::optional<std::size_t> matchApplication(std::string_view name) const;
  std::optional<std::size_t> matchOs(std::string_view caption) const;

 private:
  struct Compiled {
    std::size_t order;  // position in the file
    std::size_t product;
    std::string text;    // folded, lower-cased, without "OS:"
    std::string prefix;  // the literal text before the first wildcard
  };
  struct Side {
    std::unordered_map<std::string, Compiled> exact;  // first line of each wildcard-free pattern
    std::vector<Compiled> wild;                       // in file order
  };
  std::optional<std::size_t> match(const Side& side, std::string_view name) const;
  Side applications_, os_;
};

}  // namespace th::ledger

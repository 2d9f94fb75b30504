#include "ledger/catalogue/catalogue_match.h"

#include "ledger/text/text_fold.h"

namespace th::ledger {

namespace {

// Length of the UTF-8 character starting at s[i] (1 for a stray byte).
std::size_t CharLength(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  const std::size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  return i + n <= s.size() ? n : 1;
}

}  // namespace

bool WildcardMatch(std::string_view p, std::string_view s) {
  // Greedy with one backtrack point, the last "*": linear in practice and
  // never exponential.
  std::size_t pi = 0, si = 0;
  std::size_t starP = std::string_view::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = ++pi;
      starS = si;
    } else if (pi < p.size() && p[pi] == '?') {
      ++pi;
      si += CharLength(s, si);
    } else if (pi < p.size() && p[pi] == s[si]) {
      ++pi;
      ++si;
    } else if (starP != std::string_view::npos) {
      pi = starP;
      starS += CharLength(s, starS);
      si = starS;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

CatalogueMatcher::CatalogueMatcher(const Catalogue& catalogue) {
  for (std::size_t i = 0; i < catalogue.patterns.size(); ++i) {
    std::string text = FoldKey(catalogue.patterns[i].pattern);
    Side* side = &applications_;
    if (text.rfind("os:", 0) == 0) {
      side = &os_;
      text = FoldKey(std::string_view(text).substr(3));
    }
    const std::size_t wildcard = text.find_first_of("*?");
    Compiled c{i, catalogue.patterns[i].product, text, text.substr(0, wildcard)};
    if (wildcard == std::string::npos) side->exact.try_emplace(text, std::move(c));
    else side->wild.push_back(std::move(c));
  }
}

std::optional<std::size_t> CatalogueMatcher::match(const Side& side, std::string_view name) const {
  const std::string k = FoldKey(name);
  const auto exact = side.exact.find(k);
  const std::size_t before = exact == side.exact.end() ? std::string::npos : exact->second.order;
  // Only wildcard lines above the exact one can win over it.
  for (const Compiled& c : side.wild) {
    if (c.order > before) break;
    if (k.compare(0, c.prefix.size(), c.prefix) == 0 && WildcardMatch(c.text, k)) return c.product;
  }
  if (exact != side.exact.end()) return exact->second.product;
  return std::nullopt;
}

std::optional<std::size_t> CatalogueMatcher::matchApplication(std::string_view name) const {
  return match(applications_, name);
}

std::optional<std::size_t> CatalogueMatcher::matchOs(std::string_view caption) const { return match(os_, caption); }

}  // namespace th::ledger

#pragma once
// The software catalogue the administrator keeps in a spreadsheet: patterns
// naming products, each product's kind, licences owned and end of support.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace th::ledger {

// Unknown: the kind column held nothing the catalogue knows; the product
// is listed and dated, but neither counted nor forbidden nor required.
enum class ProductKind { Paid, Free, Forbidden, Required, Unknown };

// "paid", "free", "forbidden", "required", "unknown": the database's and the
// code's word.
const char* KindCode(ProductKind kind);
// "有償", "無償", "禁止", "必須", "不明": the exports' and the report's.
const char* KindTitle(ProductKind kind);

struct CataloguePattern {
  int line;             // in the file; the header is line 1
  std::string pattern;  // as written, trimmed
  std::size_t product;  // index into Catalogue::products
};

struct CatalogueProduct {
  std::string name;
  std::string publisher;
  ProductKind kind;
  std::optional<long long> licences;  // owned; unknown when empty
  std::string endOfSupport;           // 'YYYY-MM-DD', or empty
  int line;                           // the product's first line
};

// A value the catalogue could not use. Its line keeps its other values.
struct CatalogueProblem {
  int line;
  std::string column;  // as the file's first line names it
  std::string value;   // as written
  std::string reason;  // "日本語 / English"
};

struct Catalogue {
  std::vector<CataloguePattern> patterns;  // in file order: the first match wins
  std::vector<CatalogueProduct> products;  // in order of first mention
  std::vector<CatalogueProblem> problems;  // by line, in the order of the columns
  std::string file;                        // its file's name, as the findings give it (set by the caller)
};

// Reads a catalogue from its bytes (any encoding DecodeText reads: Excel's
// CSV, UTF-8 and "Unicode text" saves; comma- or TAB-separated, as the first
// line shows). Throws std::runtime_error when the first line does not name
// the pattern, product and kind columns: such a file is no catalogue and
// must not replace one.
// A bad value never drops its line: the line keeps its other values and the
// value becomes a problem. A licence count or date that does not read is
// left unknown, an unknown kind is ProductKind::Unknown, a line without a
// usable pattern still lists its product, and one without a product names it
// by its pattern. Only a line with neither pattern nor product gives nothing.
// A product named on several lines takes its kind from the first line whose
// kind reads and each other value from the first line that gives it.
Catalogue ParseCatalogue(std::string_view bytes, platform::CodePage& codePage);

// The problem as the console says it: its line, why, and the value.
std::string ProblemText(const CatalogueProblem& problem);

}  // namespace th::ledger

#pragma once
// The software catalogue the administrator keeps in a spreadsheet: patterns
// naming products, each product's kind, licences owned and end of support.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace th::ledger {

enum class ProductKind { Paid, Free, Forbidden, Required };

// "paid", "free", "forbidden", "required": the database's and the code's word.
const char* KindCode(ProductKind kind);
// "有償", "無償", "禁止", "必須": the exports' and the report's.
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

struct Catalogue {
  std::vector<CataloguePattern> patterns;  // in file order: the first match wins
  std::vector<CatalogueProduct> products;  // in order of first mention
  std::vector<std::string> problems;       // lines left out, each with its line number and reason
};

// Reads a catalogue from its bytes (UTF-8 with or without BOM, or code page
// 932; comma- or TAB-separated, as the first line shows). Throws
// std::runtime_error when the first line does not name the pattern, product
// and kind columns: such a file is no catalogue and must not replace one.
// A product named on several lines takes its kind from the first and each
// other value from the first line that gives it.
Catalogue ParseCatalogue(std::string_view bytes, platform::CodePage& codePage);

// 'YYYY-MM-DD' from 'YYYY-MM-DD' or 'YYYY/MM/DD' (month and day may have one
// digit, as spreadsheets write them); nothing for any other text or a day
// the calendar lacks. The same rule as the record files' dates.
std::optional<std::string> CatalogueDate(std::string_view text);

}  // namespace th::ledger

#include "ledger/catalogue/catalogue_file.h"

#include <array>
#include <map>
#include <stdexcept>

#include "ledger/records/spreadsheet_table.h"
#include "ledger/text/spreadsheet_values.h"
#include "ledger/text/text_fold.h"

namespace th::ledger {

namespace {

enum Column { kPattern, kProduct, kPublisher, kKind, kLicences, kEndOfSupport, kColumns };

struct ColumnName {
  const char* japanese;
  const char* english;
};
constexpr std::array<ColumnName, kColumns> kColumnNames = {{{"パターン", "pattern"},
                                                            {"製品名", "product"},
                                                            {"発行元", "publisher"},
                                                            {"種別", "kind"},
                                                            {"ライセンス数", "licences"},
                                                            {"サポート終了日", "end_of_support"}}};

struct KindName {
  ProductKind kind;
  const char* code;
  const char* title;
};
constexpr KindName kKinds[] = {{ProductKind::Paid, "paid", "有償"},
                               {ProductKind::Free, "free", "無償"},
                               {ProductKind::Forbidden, "forbidden", "禁止"},
                               {ProductKind::Required, "required", "必須"},
                               {ProductKind::Unknown, "unknown", "不明"}};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

std::optional<ProductKind> ParseKind(std::string_view text) {
  const std::string lower = Lower(text);
  for (const KindName& k : kKinds) {
    if (k.kind != ProductKind::Unknown && (text == k.title || lower == k.code)) return k.kind;
  }
  return std::nullopt;
}

// Why a pattern cannot be matched, or nothing when it can.
std::optional<std::string> PatternFault(std::string_view pattern) {
  const std::string key = FoldKey(pattern);
  if (key.empty()) return "パターンが空です / empty pattern";
  if (key.rfind("os:", 0) == 0 && FoldKey(std::string_view(key).substr(3)).empty()) {
    return "OS: の後が空です / nothing after OS:";
  }
  for (char c : pattern) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "パターンに制御文字があります / control character in the pattern";
  }
  return std::nullopt;
}

}  // namespace

const char* KindCode(ProductKind kind) { return kKinds[static_cast<int>(kind)].code; }
const char* KindTitle(ProductKind kind) { return kKinds[static_cast<int>(kind)].title; }

std::string ProblemText(const CatalogueProblem& p) {
  const std::string n = std::to_string(p.line);
  return n + "行目 / line " + n + ": " + p.reason + (p.value.empty() ? "" : ": " + p.value);
}

Catalogue ParseCatalogue(std::string_view bytes, platform::CodePage& codePage) {
  const std::optional<SpreadsheetTable> table = ReadSpreadsheetTable(bytes, codePage);
  if (!table) throw std::runtime_error("カタログが空です / the catalogue is empty");
  std::array<std::optional<std::size_t>, kColumns> at;
  for (std::size_t c = 0; c < kColumns; ++c) at[c] = table->column(kColumnNames[c].japanese, kColumnNames[c].english);
  const std::vector<std::string>& header = table->header;
  for (Column required : {kPattern, kProduct, kKind}) {
    if (!at[required]) {
      throw std::runtime_error(std::string("カタログの1行目に列がありません / the catalogue's first line lacks the column: ") +
                               kColumnNames[required].japanese + " (" + kColumnNames[required].english + ")");
    }
  }

  Catalogue catalogue;
  std::map<std::string, std::size_t> productIndex;
  for (const SpreadsheetTable::Line& line : table->lines) {
    const int lineNumber = line.number;
    const std::vector<std::string>& fields = line.fields;
    const auto field = [&](Column c) -> std::string { return at[c] && *at[c] < fields.size() ? fields[*at[c]] : ""; };
    const auto problem = [&](Column c, const std::string& reason) {
      catalogue.problems.push_back({lineNumber, header[*at[c]], field(c), reason});
    };

    // Each value on its own, in the order of the columns.
    const std::string pattern = field(kPattern);
    const std::optional<std::string> patternFault = PatternFault(pattern);
    if (patternFault) problem(kPattern, *patternFault);
    std::string product = field(kProduct);
    if (product.empty()) {
      problem(kProduct, "製品名が空です / empty product");
      if (!patternFault) product = pattern;
    }
    const std::optional<ProductKind> kind = ParseKind(field(kKind));
    if (!kind) problem(kKind, "種別が不明です / unknown kind");
    std::optional<long long> licences;
    if (!field(kLicences).empty() && !(licences = SpreadsheetCount(field(kLicences)))) {
      problem(kLicences, "ライセンス数が数ではありません / licences not a number");
    }
    std::optional<std::string> date;
    if (!field(kEndOfSupport).empty() && !(date = SpreadsheetDate(field(kEndOfSupport)))) {
      problem(kEndOfSupport, "サポート終了日が日付ではありません / end of support not a date");
    }
    if (product.empty()) continue;  // nothing names the line's product

    auto [it, added] = productIndex.try_emplace(product, catalogue.products.size());
    if (added) catalogue.products.push_back({product, {}, ProductKind::Unknown, std::nullopt, {}, lineNumber});
    CatalogueProduct& p = catalogue.products[it->second];
    if (p.kind == ProductKind::Unknown && kind) p.kind = *kind;
    if (p.publisher.empty()) p.publisher = field(kPublisher);
    if (!p.licences) p.licences = licences;
    if (p.endOfSupport.empty() && date) p.endOfSupport = *date;
    if (!patternFault) catalogue.patterns.push_back({lineNumber, pattern, it->second});
  }
  return catalogue;
}

}  // namespace th::ledger

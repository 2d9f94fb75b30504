#include "ledger/catalogue/catalogue_file.h"

#include <array>
#include <map>
#include <stdexcept>

#include "ledger/records/collection_summary.h"
#include "ledger/text/line_split.h"
#include "ledger/records/register_file.h"
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
                               {ProductKind::Required, "required", "必須"}};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return out;
}

std::optional<ProductKind> ParseKind(std::string_view text) {
  const std::string lower = Lower(text);
  for (const KindName& k : kKinds) {
    if (text == k.title || lower == k.code) return k.kind;
  }
  return std::nullopt;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
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

std::optional<std::string> CatalogueDate(std::string_view text) {
  // The record files' date rule, with "-" taken like "/".
  std::string slashed(text);
  for (char& c : slashed) c = c == '-' ? '/' : c;
  return ParseDate(slashed);
}

Catalogue ParseCatalogue(std::string_view bytes, platform::CodePage& codePage) {
  const std::string text = DecodeText(bytes, codePage);
  std::vector<std::string_view> lines;
  ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
  std::size_t headerAt = 0;
  while (headerAt < lines.size() && lines[headerAt].find_first_not_of(" \t,") == std::string_view::npos) ++headerAt;
  if (headerAt == lines.size()) throw std::runtime_error("カタログが空です / the catalogue is empty");

  const char separator = lines[headerAt].find('\t') != std::string_view::npos ? '\t' : ',';
  std::array<std::optional<std::size_t>, kColumns> at;
  const std::vector<std::string> header = SplitCsvLine(lines[headerAt], separator);
  for (std::size_t i = 0; i < header.size(); ++i) {
    for (std::size_t c = 0; c < kColumns; ++c) {
      if (!at[c] && (header[i] == kColumnNames[c].japanese || Lower(header[i]) == kColumnNames[c].english)) at[c] = i;
    }
  }
  for (Column required : {kPattern, kProduct, kKind}) {
    if (!at[required]) {
      throw std::runtime_error(std::string("カタログの1行目に列がありません / the catalogue's first line lacks the column: ") +
                               kColumnNames[required].japanese + " (" + kColumnNames[required].english + ")");
    }
  }

  Catalogue catalogue;
  std::map<std::string, std::size_t> productIndex;
  for (std::size_t n = headerAt + 1; n < lines.size(); ++n) {
    const int lineNumber = static_cast<int>(n + 1);
    const std::vector<std::string> fields = SplitCsvLine(lines[n], separator);
    const auto field = [&](Column c) -> std::string { return at[c] && *at[c] < fields.size() ? fields[*at[c]] : ""; };
    bool blank = true;
    for (const std::string& f : fields) blank = blank && f.empty();
    if (blank) continue;

    std::string fault;
    const std::string pattern = field(kPattern), product = field(kProduct);
    const std::optional<ProductKind> kind = ParseKind(field(kKind));
    const std::string licencesText = field(kLicences), dateText = field(kEndOfSupport);
    std::optional<long long> licences;
    std::optional<std::string> date;
    if (auto bad = PatternFault(pattern)) fault = *bad;
    else if (product.empty()) fault = "製品名が空です / empty product";
    else if (!kind) fault = "種別が不明です / unknown kind: " + field(kKind);
    else if (!licencesText.empty() && (!AllDigits(licencesText) || licencesText.size() > 12)) {
      fault = "ライセンス数が数ではありません / licences not a number: " + licencesText;
    } else if (!dateText.empty() && !(date = CatalogueDate(dateText))) {
      fault = "サポート終了日が日付ではありません / end of support not a date: " + dateText;
    }
    if (!fault.empty()) {
      catalogue.problems.push_back(std::to_string(lineNumber) + "行目 / line " + std::to_string(lineNumber) + ": " + fault);
      continue;
    }
    if (!licencesText.empty()) licences = std::stoll(licencesText);

    auto [it, added] = productIndex.try_emplace(product, catalogue.products.size());
    if (added) catalogue.products.push_back({product, {}, *kind, std::nullopt, {}, lineNumber});
    CatalogueProduct& p = catalogue.products[it->second];
    if (p.publisher.empty()) p.publisher = field(kPublisher);
    if (!p.licences) p.licences = licences;
    if (p.endOfSupport.empty() && date) p.endOfSupport = *date;
    catalogue.patterns.push_back({lineNumber, pattern, it->second});
  }
  return catalogue;
}

}  // namespace th::ledger

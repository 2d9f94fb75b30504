#include "ledger/win11/price_list.h"

#include <stdexcept>

#include "ledger/records/spreadsheet_table.h"
#include "ledger/text/spreadsheet_values.h"
#include "ledger/text/text_fold.h"

namespace th::ledger {

namespace {

constexpr const char* kCategories[] = {kPriceDesktop, kPriceNotebook, kPriceMemory, kPriceSsd, kPriceSettings, kPriceEsu};

// "150,000円", "¥150,000": the count between the currency signs.
std::optional<long long> Yen(std::string_view text) {
  std::string s = FoldName(text);
  for (std::string_view sign : {"円", "¥", "\xEF\xBF\xA5", "\\"}) {  // 円, ¥, ￥ (left by folding), a backslash
    if (s.ends_with(sign)) s.resize(s.size() - sign.size());
    if (s.starts_with(sign)) s.erase(0, sign.size());
  }
  return SpreadsheetCount(FoldName(s));
}

}  // namespace

std::string PriceProblemText(const PriceProblem& p) {
  const std::string n = std::to_string(p.line);
  return n + "行目 / line " + n + ": " + p.reason + (p.value.empty() ? "" : ": " + p.value);
}

PriceList ParsePriceList(std::string_view bytes, platform::CodePage& codePage) {
  const std::optional<SpreadsheetTable> table = ReadSpreadsheetTable(bytes, codePage);
  if (!table) throw std::runtime_error("単価表が空です / the price list is empty");
  const auto category = table->column("区分", "category");
  const auto price = table->column("単価", "price");
  if (!category || !price) {
    throw std::runtime_error("単価表の1行目に列がありません / the price list's first line lacks the column: 区分 (category),"
                             " 単価 (price)");
  }
  PriceList list;
  for (const SpreadsheetTable::Line& line : table->lines) {
    const std::string name = *category < line.fields.size() ? FoldName(line.fields[*category]) : "";
    const std::string value = *price < line.fields.size() ? line.fields[*price] : "";
    const char* known = nullptr;
    for (const char* c : kCategories) {
      if (name == c || (c == kPriceEsu && FoldKey(name) == "esu")) known = c;
    }
    if (!known) {
      list.problems.push_back({line.number, name, "区分が不明です / unknown category"});
      continue;
    }
    const std::optional<long long> yen = Yen(value);
    if (!yen) {
      list.problems.push_back({line.number, value, "単価が金額ではありません / price not an amount"});
      continue;
    }
    bool seen = false;
    for (const Win11Price& p : list.prices) seen = seen || p.category == known;
    if (seen) {
      list.problems.push_back({line.number, name, "区分が重複しています（最初の行を使います） / category repeated (the"
                                                  " first line counts)"});
      continue;
    }
    list.prices.push_back({known, *yen});
    list.lines.push_back(line.number);
  }
  return list;
}

void StorePriceList(Database& db, const PriceList& list) {
  db.exec("DELETE FROM win11_prices");
  Statement add = db.prepare("INSERT INTO win11_prices(category, yen, line) VALUES(?,?,?)");
  for (std::size_t i = 0; i < list.prices.size(); ++i) {
    add.bind(1, list.prices[i].category).bind(2, std::int64_t{list.prices[i].yen});
    add.bind(3, std::int64_t{list.lines[i]}).run();
  }
}

}  // namespace th::ledger

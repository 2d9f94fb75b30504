#pragma once
// The price list the administrator keeps in Excel beside the catalogue:
// rows 区分,単価 (デスクトップ買い替え, ノート買い替え, メモリ増設, SSD交換,
// 設定変更作業, ESU), read as the catalogue is read and kept in the database.
#include <string>
#include <string_view>
#include <vector>

#include "ledger/store/sqlite.h"
#include "ledger/store/win11_plan.h"
#include "platform/codepage.h"

namespace th::ledger {

struct PriceProblem {
  int line;
  std::string value;   // as written
  std::string reason;  // "日本語 / English"
};

struct PriceList {
  std::vector<Win11Price> prices;  // the known categories, in file order, the first line of each
  std::vector<int> lines;          // each price's line
  std::vector<PriceProblem> problems;
};

// Any encoding DecodeText reads; "150,000", "１５０，０００円" and "¥150,000"
// read 150000. Throws std::runtime_error when the first line does not name
// the 区分 and 単価 columns. A line whose category is unknown or whose price
// does not read is a problem and sets no price: a price not given stays
// 「単価未設定」, never 0.
PriceList ParsePriceList(std::string_view bytes, platform::CodePage& codePage);

// The problem as the console says it.
std::string PriceProblemText(const PriceProblem& problem);

// Replaces the price list held before.
void StorePriceList(Database& db, const PriceList& list);

}  // namespace th::ledger

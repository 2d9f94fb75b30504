#include "ledger/store/register_columns.h"

#include <nlohmann/json.hpp>

namespace th::ledger {

std::vector<std::string> RegisterColumns(Database& db) {
  Statement s = db.prepare("SELECT value FROM meta WHERE key = 'register_columns'");
  if (!s.step()) return {};
  const auto columns = nlohmann::json::parse(s.text(0), nullptr, false);
  std::vector<std::string> names;
  if (columns.is_array()) {
    for (const auto& c : columns) names.push_back(c.is_string() ? c.get<std::string>() : std::string());
  }
  return names;
}

std::vector<std::string> RegisterValues(const std::string& extra, std::size_t columns) {
  const auto values = extra.empty() ? nlohmann::json::array() : nlohmann::json::parse(extra, nullptr, false);
  std::vector<std::string> out;
  out.reserve(columns);
  for (std::size_t i = 0; i < columns; ++i) {
    out.push_back(values.is_array() && i < values.size() && values[i].is_string() ? values[i].get<std::string>()
                                                                                   : std::string());
  }
  return out;
}

}  // namespace th::ledger

#include "ledger/export_tables.h"

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

std::vector<ExportTable> ExportTables(Database& db) {
  constexpr CellKind T = CellKind::Text, N = CellKind::Number;
  ExportTable pcs{"pcs.csv",
                  "PC一覧",
                  {{"管理番号", T},
                   {"姓", T},
                   {"名", T},
                   {"コンピュータ名", T},
                   {"ユーザー名", T},
                   {"OS", T},
                   {"OSバージョン", T},
                   {"CPU", T},
                   {"メモリ(KB)", N},
                   {"システムディスク容量(MB)", N},
                   {"システムディスク空き(MB)", N},
                   {"ディスク合計(MB)", N},
                   {"メーカー", T},
                   {"モデル", T},
                   {"筐体", T},
                   {"ボードシリアル", T},
                   {"システムUUID", T},
                   {"MACアドレス", T},
                   {"IPアドレス", T},
                   {"収集日時", CellKind::DateTime}},
                  "SELECT s.number, surname, given_name, computer_name, user_name, os, os_version, cpu, memory,"
                  " system_disk_size, system_disk_free, total_disk, maker, model, chassis, board_serial, system_uuid,"
                  " mac_addresses, ip_addresses, collected_at, r.extra"
                  " FROM pc_summary s LEFT JOIN register r ON r.number = s.number ORDER BY s.number",
                  {}};
  const std::vector<std::string> extra = RegisterColumns(db);
  for (const std::string& name : extra) pcs.columns.push_back({name, T});
  pcs.registerColumns = extra.size();

  return {pcs,
          {"software.csv",
           "ソフトウェア",
           {{"ソフトウェア名", T}, {"発行元", T}, {"PC数", N}},
           "SELECT name, publisher, pcs FROM software ORDER BY pcs DESC, name, publisher",
           {}},
          {"installs.csv",
           "導入状況",
           {{"管理番号", T}, {"ソフトウェア名", T}, {"発行元", T}},
           "SELECT number, name, publisher FROM installs ORDER BY number, name, publisher",
           {}},
          {"findings.csv",
           "検出事項",
           {{"検出事項", T}, {"管理番号", T}, {"ファイル", T}, {"詳細", T}},
           // A finding about a value several numbers share lists them all.
           "SELECT k.title,"
           " COALESCE(f.number, (SELECT group_concat(number, ' ') FROM (SELECT number FROM finding_numbers n"
           " WHERE n.finding_id = f.id ORDER BY number))),"
           " COALESCE(f.file, (SELECT group_concat(file, ' ') FROM (SELECT file FROM finding_numbers n"
           " WHERE n.finding_id = f.id AND file IS NOT NULL ORDER BY number))), f.detail"
           " FROM findings f JOIN finding_kinds k ON k.kind = f.kind ORDER BY f.id",
           {}}};
}

void ForEachExportRow(Database& db, const ExportTable& table,
                      const std::function<void(const std::vector<std::string>&)>& row) {
  Statement s = db.prepare(table.sql);
  const int columns = sqlite3_column_count(s.get());
  const int plain = table.registerColumns ? columns - 1 : columns;
  std::vector<std::string> fields;
  while (s.step()) {
    fields.clear();
    for (int c = 0; c < plain; ++c) fields.push_back(s.text(c));
    if (table.registerColumns) {
      const std::string extra = s.text(columns - 1);
      const auto values = extra.empty() ? nlohmann::json::array() : nlohmann::json::parse(extra, nullptr, false);
      for (std::size_t i = 0; i < *table.registerColumns; ++i) {
        fields.push_back(values.is_array() && i < values.size() && values[i].is_string() ? values[i].get<std::string>()
                                                                                          : std::string());
      }
    }
    row(fields);
  }
}

}  // namespace th::ledger

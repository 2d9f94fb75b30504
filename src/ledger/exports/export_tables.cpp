#include "ledger/exports/export_tables.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string_view>

#include "ledger/exports/cell_values.h"
#include "ledger/store/collection_changes.h"
#include "ledger/store/licence_installs.h"
#include "ledger/store/pc_columns.h"
#include "ledger/store/win11_plan.h"

namespace th::ledger {

namespace {

bool CatalogueKnown(Database& db) {
  Statement s = db.prepare("SELECT EXISTS (SELECT 1 FROM catalogue_products)");
  return s.step() && s.text(0) == "1";
}

// A register column is numbers or dates when every value it holds is one
// (a purchase date, an acquisition price); otherwise text, as typed.
std::vector<CellKind> RegisterColumnKinds(Database& db, std::size_t columns) {
  enum Seen { kNumber = 1, kDate = 2, kText = 4 };
  std::vector<int> seen(columns, 0);
  Statement s = db.prepare("SELECT extra FROM register");
  while (s.step()) {
    const auto values = nlohmann::json::parse(s.text(0), nullptr, false);
    if (!values.is_array()) continue;
    for (std::size_t i = 0; i < columns && i < values.size(); ++i) {
      if (!values[i].is_string() || values[i].get_ref<const std::string&>().empty()) continue;
      const std::string& v = values[i].get_ref<const std::string&>();
      seen[i] |= ReadWholeNumber(v) ? kNumber : ReadDateTime(v) ? kDate : kText;
    }
  }
  std::vector<CellKind> kinds;
  for (int k : seen) kinds.push_back(k == kNumber ? CellKind::Number : k == kDate ? CellKind::DateTime : CellKind::Text);
  return kinds;
}

}  // namespace

std::vector<ExportTable> ExportTables(Database& db) {
  constexpr CellKind T = CellKind::Text, N = CellKind::Number, D = CellKind::DateTime;
  ExportTable pcs{"pcs.csv", "PC一覧", {}, "", {}, {}};
  for (const PcColumn& c : PcColumns()) {
    const bool time = std::string_view(c.key) == "collected_at";
    pcs.columns.push_back({c.heading, time ? CellKind::DateTime : c.numeric ? N : T});
  }
  // Win11判定 after the register's columns: scripts read the others by position.
  pcs.sql = "SELECT " + PcColumnsSql("s") +
            ", r.extra, coalesce(w.verdict, '') FROM pc_summary s LEFT JOIN register r ON r.number = lower(s.number)"
            " LEFT JOIN win11_plan w ON w.number = s.number ORDER BY s.number";
  const std::vector<std::string> extra = RegisterColumns(db);
  const std::vector<CellKind> extraKinds = RegisterColumnKinds(db, extra.size());
  for (std::size_t i = 0; i < extra.size(); ++i) pcs.columns.push_back({extra[i], extraKinds[i]});
  pcs.columns.push_back({"Win11判定", T});
  pcs.afterRegister = 1;
  ExportTable win11{"win11.csv", "", {{"管理番号", T}, {"コンピュータ名", T}, {"使用者", T}}, "", {}, {}};
  for (std::size_t i = 0; i < extra.size(); ++i) win11.columns.push_back({extra[i], extraKinds[i]});
  for (const char* heading : {"OS", "バージョン", "CPU", "メモリ(GB)", "システムドライブ(GB)", "TPM", "ファームウェア",
                              "セキュアブート", "判定", "理由", "対処", "根拠", "概算費用", "収集日時"}) {
    const std::string_view h = heading;
    win11.columns.push_back({heading, h == "収集日時" ? D : h.find("(GB)") != h.npos || h == "概算費用" ? N : T});
  }
  win11.rows = [](Database& d, const ExportRowSink& row) {
    const auto gb = [](const std::optional<double>& v) {
      if (!v) return std::string();
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.1f", *v);
      return std::string(buf);
    };
    std::vector<std::string> fields;
    for (const Win11PlanRow& r : ReadWin11Plan(d)) {
      fields = {r.number, r.computerName, r.user};
      fields.insert(fields.end(), r.registerValues.begin(), r.registerValues.end());
      for (std::string v : {r.os, r.osVersion, r.cpu, gb(r.memoryGb), gb(r.systemDriveGb), r.tpm, r.firmware,
                            r.secureBoot, r.verdict, r.reasons, r.action, r.basis,
                            r.costYen ? std::to_string(*r.costYen) : r.costNote, r.collectedAt}) {
        fields.push_back(std::move(v));
      }
      row(fields);
    }
  };
  const bool catalogue = CatalogueKnown(db);
  pcs.registerColumns = extra.size();

  return {pcs,
          {"software.csv",
           "ソフトウェア",
           {{"ソフトウェア名", T}, {"バージョン", T}, {"発行元", T}, {"PC数", N}},
           "SELECT name, version, publisher, pcs FROM software ORDER BY pcs DESC, name, version",
           {},
           {}},
          {"installs.csv",
           "導入状況",
           {{"管理番号", T}, {"ソフトウェア名", T}, {"バージョン", T}, {"発行元", T}},
           "SELECT number, name, version, publisher FROM installs ORDER BY number, name, version, publisher",
           {},
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
           {},
           {}},
          {"licences.csv",
           catalogue ? "ライセンス" : "",
           {{"製品名", T},
            {"発行元", T},
            {"種別", T},
            {"保有ライセンス数", N},
            {"導入台数", N},
            {"過不足", N},
            {"サポート終了日", D}},
           "SELECT product, publisher, kind_title, owned, installed, balance, end_of_support FROM licences"
           " ORDER BY line",
           {},
           {}},
          {"licence_installs.csv",
           catalogue ? "ライセンス明細" : "",
           {{"製品名", T}, {"管理番号", T}, {"コンピュータ名", T}, {"使用者", T}, {"ソフトウェア名", T}, {"バージョン", T}},
           LicenceInstallsSql(),
           {},
           {}},
          {"changes.csv",
           "変更",
           {{"管理番号", T}, {"区分", T}, {"項目", T}, {"前回", T}, {"今回", T}},
           "",
           {},
           [](Database& d, const ExportRowSink& row) {
             for (const ChangeRow& c : ChangesOfLastImport(d)) row({c.number, c.category, c.item, c.before, c.now});
           }},
          win11};
}

void ForEachExportRow(Database& db, const ExportTable& table, const ExportRowSink& row) {
  if (table.rows) {
    table.rows(db, row);
    return;
  }
  Statement s = db.prepare(table.sql);
  const int columns = sqlite3_column_count(s.get());
  const int plain = table.registerColumns ? columns - 1 - table.afterRegister : columns;
  std::vector<std::string> fields;
  while (s.step()) {
    fields.clear();
    for (int c = 0; c < plain; ++c) fields.push_back(s.text(c));
    if (table.registerColumns) {
      for (std::string& v : RegisterValues(s.text(plain), *table.registerColumns)) fields.push_back(std::move(v));
      for (int c = plain + 1; c < columns; ++c) fields.push_back(s.text(c));
    }
    row(fields);
  }
}

}  // namespace th::ledger

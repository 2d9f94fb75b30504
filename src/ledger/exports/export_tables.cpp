#include "ledger/exports/export_tables.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string_view>

#include "ledger/exports/cell_values.h"
#include "ledger/store/collection_changes.h"
#include "ledger/store/finding_kinds.h"
#include "ledger/store/licence_installs.h"
#include "ledger/store/pc_columns.h"
#include "ledger/store/win11_plan.h"

namespace th::ledger {

std::string NeedsAttentionSql(const char* kindColumn) {
  std::string kinds;
  for (const FindingKind& k : FindingKinds()) {
    if (k.needsAttention) kinds += std::string(kinds.empty() ? "'" : ", '") + k.kind + "'";
  }
  return std::string(kindColumn) + " IN (" + kinds + ")";
}

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

// The register's non-empty values of a number, named: "部署: 総務部、使用者: 山田".
std::string NamedRegisterValues(const std::vector<std::string>& names, const std::string& extra) {
  const std::vector<std::string> values = RegisterValues(extra, names.size());
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!values[i].empty()) out += (out.empty() ? "" : "、") + names[i] + ": " + values[i];
  }
  return out;
}

// One row per finding. A finding about a value several numbers share lists
// them all; an unreported PC's detail says what the register knows of it, so
// that it can be looked for; 要対応 marks what raises the exit status.
ExportTable FindingsTable(const std::vector<std::string>& registerNames) {
  constexpr CellKind T = CellKind::Text;
  const std::string sql =
      "SELECT k.title,"
      " COALESCE(f.number, (SELECT group_concat(number, ' ') FROM (SELECT number FROM finding_numbers n"
      " WHERE n.finding_id = f.id ORDER BY number))),"
      " COALESCE(f.file, (SELECT group_concat(file, ' ') FROM (SELECT file FROM finding_numbers n"
      " WHERE n.finding_id = f.id AND file IS NOT NULL ORDER BY number))), f.detail,"
      " CASE WHEN " + NeedsAttentionSql("f.kind") + " THEN '要対応' ELSE '' END, r.extra"
      " FROM findings f JOIN finding_kinds k ON k.kind = f.kind"
      " LEFT JOIN register r ON f.kind = 'not_reported' AND r.number = f.number ORDER BY f.id";
  return {"findings.csv",
          "検出事項",
          // 要対応 is appended: scripts read the columns before it by position.
          {{"検出事項", T}, {"管理番号", T}, {"ファイル", T}, {"詳細", T}, {"要対応", CellKind::Mark}},
          sql,
          {},
          [sql, registerNames](Database& d, const ExportRowSink& row) {
            Statement s = d.prepare(sql);
            while (s.step()) {
              std::string detail = s.text(3);
              const std::string known = NamedRegisterValues(registerNames, s.text(5));
              if (!known.empty()) detail += "（" + known + "）";
              row({s.text(0), s.text(1), s.text(2), detail, s.text(4)});
            }
          }};
}

// The register's numbers no record file reports, with what the register
// says of each (who has it, where it stands).
ExportTable UnreportedTable(const std::vector<std::string>& names, const std::vector<CellKind>& kinds) {
  ExportTable table{"unreported.csv",
                    "未報告",
                    {{"管理番号", CellKind::Text}},
                    "SELECT number, extra FROM register WHERE number NOT IN (SELECT lower(number) FROM pcs)"
                    " ORDER BY number",
                    names.size(),
                    {}};
  for (std::size_t i = 0; i < names.size(); ++i) table.columns.push_back({names[i], kinds[i]});
  return table;
}

}  // namespace

std::vector<ExportTable> ExportTables(Database& db) {
  constexpr CellKind T = CellKind::Text, N = CellKind::Number, D = CellKind::DateTime;
  ExportTable pcs{"pcs.csv", "PC一覧", {}, "", {}, {}};
  for (const PcColumn& c : PcColumns()) {
    const std::string_view key = c.key;
    if (key == "memory") {
      pcs.columns.push_back({c.heading, CellKind::Kilobytes, "メモリ(GB)"});
    } else {
      pcs.columns.push_back({c.heading, key == "collected_at" ? D : c.numeric ? N : T});
    }
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
  ExportTable win11{"win11.csv", "Windows11移行", {{"管理番号", T}, {"コンピュータ名", T}, {"使用者", T}}, "", {}, {}};
  for (std::size_t i = 0; i < extra.size(); ++i) win11.columns.push_back({extra[i], extraKinds[i]});
  for (const char* heading : {"OS", "バージョン", "CPU", "メモリ(GB)", "システムドライブ(GB)", "TPM", "ファームウェア",
                              "セキュアブート", "判定", "理由", "対処", "根拠", "概算費用", "収集日時"}) {
    const std::string_view h = heading;
    win11.columns.push_back({heading, h == "収集日時"               ? D
                                      : h.find("(GB)") != h.npos ? CellKind::Decimal
                                      : h == "概算費用"          ? CellKind::Yen
                                                                 : T});
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
          FindingsTable(extra),
          UnreportedTable(extra, extraKinds),
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

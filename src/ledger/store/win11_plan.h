#pragma once
// The Windows 11 migration plan as the exports and the report read it: one
// row per current PC (table win11_plan, recomputed by every import run from
// the PCs' facts and the price list given with --prices) and its totals.
//
// A current PC is a number of `pcs` that is not an older number of a PC now
// reported under another (same_pc_sql.h): those have no row.
//
// Costs are whole yen. A cost is absent (nullopt) when a price it needs was
// never given (cost note 「単価未設定」) or nothing can price it yet (不明):
// such a PC is counted but left out of every sum, never summed as 0. A PC
// that needs nothing (アップグレード可, Windows 11済, 対象外) costs 0.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ledger/store/sqlite.h"

namespace th::ledger {

// The verdicts (判定), in the order they are shown and counted: the first
// four from cheapest to dearest, then the PCs the plan sets aside.
inline constexpr std::array<const char*, 8> kWin11Verdicts = {
    "アップグレード可", "設定変更で可", "部品交換で可", "買い替え", "仮想マシン", "Windows 11済", "不明", "対象外"};
// Index of a verdict in kWin11Verdicts; -1 for any other text.
int Win11VerdictIndex(std::string_view verdict);

// The price list's categories (区分), as the file and win11_prices name them.
// ESU is the first year's price per PC; the second year costs twice that and
// the third four times (the years are cumulative: 1, 3 and 7 times).
inline constexpr const char* kPriceDesktop = "デスクトップ買い替え";
inline constexpr const char* kPriceNotebook = "ノート買い替え";
inline constexpr const char* kPriceMemory = "メモリ増設";
inline constexpr const char* kPriceSsd = "SSD交換";
inline constexpr const char* kPriceSettings = "設定変更作業";
inline constexpr const char* kPriceEsu = "ESU";
inline constexpr const char* kPriceNotSet = "単価未設定";

struct Win11PlanRow {
  std::string number;        // 管理番号
  std::string computerName;  // コンピュータ名
  std::string user;          // 使用者: 姓 and 名 joined by a blank, trimmed
  std::vector<std::string> registerValues;  // the register's further columns (RegisterColumns order); '' when none
  std::string os;            // OS: the caption as collected
  std::string osVersion;     // バージョン: the feature version (22H2) when the record has it, else the OS version
  std::string cpu;           // CPU: the processor's name
  std::optional<double> memoryGb;       // メモリ(GB), GiB: installed; for an older record the visible memory
  bool memoryEstimated = false;         // memoryGb is the visible memory (an older record)
  std::optional<double> systemDriveGb;  // システムドライブ(GB): the system volume's size, GiB
  std::string tpm;         // TPM: "2.0", "1.2", "なし" or "" (unknown)
  std::string firmware;    // ファームウェア: "UEFI", "BIOS" or ""
  std::string secureBoot;  // セキュアブート: "有効", "無効（対応）", "非対応" or ""
  std::string verdict;     // 判定: one of kWin11Verdicts
  std::string reasons;     // 理由: every failing or unknown requirement, joined by "、"; "" when none
  std::string action;      // 対処; "" when nothing is to be done
  std::string basis;       // 根拠: what decided the processor (CPUID, the dated list, the name, Windows' verdict)
  std::optional<long long> costYen;  // 概算費用
  std::string costNote;              // "" or why costYen is absent (「単価未設定」...)
  std::string collectedAt;           // 収集日時, 'YYYY-MM-DD HH:MM:SS' as pc_summary holds it
  std::string form;                  // "desktop", "notebook" or "" (the chassis does not tell)
  std::string chassis, model, maker; // 筐体, モデル, メーカー as collected
  bool esu = false;                  // a Windows 10 PC that ESU would cover
};

// Every current PC's row, by management number.
std::vector<Win11PlanRow> ReadWin11Plan(Database& db);

// One group of PCs: a verdict, a department, a model.
struct Win11Group {
  std::string key;                      // the verdict, department or model ('' : not given)
  int pcs = 0;
  std::array<int, kWin11Verdicts.size()> byVerdict{};  // the group's PCs by verdict
  long long costYen = 0;                // sum of the costs known
  int unpriced = 0;                     // PCs whose cost is absent (left out of costYen)
  int esuPcs = 0;                       // of them, those ESU would cover
};

struct Win11Totals {
  Win11Group all;                       // every current PC
  std::vector<Win11Group> byVerdict;    // one per verdict, in kWin11Verdicts order, empty ones too
  std::string departmentColumn;         // the register column grouped by; '' when the register has none
  std::vector<Win11Group> byDepartment; // by that column's value, most PCs first, then by name
  std::vector<Win11Group> byModel;      // by maker and model ("maker model"), most PCs first, then by name
  // ESU for the PCs it would cover (all.esuPcs), cumulative for one, two and
  // three years; absent when no ESU price is set.
  std::array<std::optional<long long>, 3> esuYen{};
};

// The register column that names the department: the first whose name holds
// 部署, 部門, 所属, 課 or "department" (any case); else the register's first
// further column; '' without one.
std::string Win11DepartmentColumn(const std::vector<std::string>& registerColumns);

// The totals of ReadWin11Plan's rows. `departmentColumn`, when given and one
// of the register's columns, replaces the rule above.
Win11Totals ReadWin11Totals(Database& db, const std::optional<std::string>& departmentColumn = std::nullopt);

// The price list held (区分 → yen), in file order.
struct Win11Price {
  std::string category;
  long long yen = 0;
};
std::vector<Win11Price> ReadWin11Prices(Database& db);

}  // namespace th::ledger

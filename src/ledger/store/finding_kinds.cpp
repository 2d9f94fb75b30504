#include "ledger/store/finding_kinds.h"

namespace th::ledger {

namespace {

constexpr FindingKind kKinds[] = {
    {"rejected", "取り込めなかったファイル", "File not imported", true},
    {"cut_short", "途中で切れた記録ファイル", "Record file cut short", true},
    {"name_mismatch", "ファイル名と管理番号が異なる", "File name differs from its Key", true},
    {"bad_number", "管理番号の形式が正しくない", "Management number of the wrong shape", true},
    {"no_software", "ソフトウェアの記録がない", "No software record"},
    {"same_uuid", "同じシステムUUIDが複数の管理番号にある", "Same system UUID under two numbers"},
    {"same_mac", "同じMACアドレスが複数の管理番号にある", "Same MAC address under two numbers"},
    {"same_computer_name", "同じコンピュータ名が複数の管理番号にある", "Same computer name under two numbers"},
    {"two_pcs", "一つの管理番号を複数のPCが報告", "One number reported by two PCs", true},
    {"stale", "古い収集", "Stale collection"},
    {"not_reported", "台帳にあるが未報告", "In the register, not reported"},
    {"not_in_register", "台帳にない管理番号", "Reported, not in the register"},
    {"bad_date", "収集日時が読めない", "Collection date unreadable", true},
    {"future_date", "収集日時が取り込みより後", "Collection date after the import", true},
    {"licence_shortage", "ライセンス不足", "Fewer licences than installs"},
    {"forbidden_software", "禁止ソフトウェア", "Forbidden software"},
    {"required_missing", "必須ソフトウェアがない", "Required software missing"},
    {"end_of_support", "サポート終了", "Past end of support"},
    {"hardware_changed", "ハードウェアの変更", "Hardware changed"},
    {"catalogue_value", "カタログの読めない値", "Catalogue value unreadable", true},
    {"older_numbers", "同じPCの古い管理番号", "Older numbers of this PC"},
    {"no_computer_name", "コンピュータ名がない", "No computer name"},
    {"cell_too_long", "ブックのセルに収まらない値", "Value longer than a workbook cell"},
    {"win11_unsupported", "要件を満たさないWindows 11（更新の保証なし）", "Windows 11 below its requirements (updates not promised)"},
};

}  // namespace

std::span<const FindingKind> FindingKinds() { return kKinds; }

std::vector<std::string> KindsNeedingAttention(Database& db) {
  std::vector<std::string> kinds;
  Statement any = db.prepare("SELECT EXISTS (SELECT 1 FROM findings WHERE kind = ?)");
  for (const FindingKind& k : kKinds) {
    if (!k.needsAttention) continue;
    any.bind(1, k.kind);
    if (any.step() && any.integer(0) != 0) kinds.emplace_back(k.kind);
    any.reset();
  }
  return kinds;
}

}  // namespace th::ledger

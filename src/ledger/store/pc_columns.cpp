#include "ledger/store/pc_columns.h"

namespace th::ledger {

namespace {

constexpr PcColumn kColumns[] = {
    {"number", "管理番号", false, 120},
    {"surname", "姓", false, 90},
    {"given_name", "名", false, 90},
    {"computer_name", "コンピュータ名", false, 140},
    {"user_name", "ユーザー名", false, 140},
    {"os", "OS", false, 220},
    {"os_version", "OSバージョン", false, 110},
    {"cpu", "CPU", false, 220},
    {"memory", "メモリ(KB)", true, 110},
    {"system_disk_size", "システムディスク容量(MB)", true, 170},
    {"system_disk_free", "システムディスク空き(MB)", true, 170},
    {"total_disk", "ディスク合計(MB)", true, 130},
    {"maker", "メーカー", false, 140},
    {"model", "モデル", false, 160},
    {"chassis", "筐体", false, 110},
    {"board_serial", "ボードシリアル", false, 150},
    {"system_uuid", "システムUUID", false, 280},
    {"mac_addresses", "MACアドレス", false, 150},
    {"ip_addresses", "IPアドレス", false, 200},
    {"collected_at", "収集日時", false, 150},
    // Appended: scripts read the columns above by position.
    {"bios_serial", "製造番号", false, 150},
};

}  // namespace

std::span<const PcColumn> PcColumns() { return kColumns; }

std::string PcColumnsSql(const char* table) {
  std::string sql;
  for (const PcColumn& c : kColumns) {
    if (!sql.empty()) sql += ", ";
    sql += std::string(table) + "." + c.key;
  }
  return sql;
}

}  // namespace th::ledger

#pragma once
// Record files written as the client writes them (code page 932, CR LF) into
// a temporary folder, and a database beside them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ledger/import/importer.h"
#include "ledger/store/schema.h"
#include "platform/posix/iconv_codepage.h"

namespace th::ledger::test {

namespace fs = std::filesystem;

// The records of one PC, before the key and date are added.
struct Pc {
  std::string key;
  std::string date = "2026/12/01";  // Create record and Renewalday
  std::string time = "09:05:07";
  std::string computer = "PC-ALPHA";
  std::string uuid = "{1111}";
  std::string mac = "00-1A-2B-3C-4D-5E";
  std::vector<std::string> software = {"Alpha Tool,1.2,Alpha Works"};
  std::string maker = "Maker X", model = "Model Y";
  bool assetRecords = true;
  std::vector<std::string> records = {};  // further "Group,Item,SubItem,Contents,Unit"
};

class LedgerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The process in the name too: other builds on the machine run the same tests.
    dir = fs::temp_directory_path() /
          ("ledger_test_" + std::to_string(::getpid()) + "_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir / "SAVE");
  }
  void TearDown() override { fs::remove_all(dir); }

  static std::string Lines(const Pc& pc) {
    const std::string k = pc.key, d = pc.date;
    std::vector<std::string> rows = {"Create,DateTime," + d + "," + pc.time + ",",
                                     "LAN,Adapter,MACアドレス," + pc.mac + ",", "LAN,LAN,コンピュータ名," + pc.computer + ",",
                                     "WMI,MotherBoard,Device_ID," + pc.uuid + ","};
    rows.insert(rows.end(), pc.records.begin(), pc.records.end());
    for (const std::string& s : pc.software) rows.push_back("Soft,Application," + s);
    rows.insert(rows.end(), {"WMI,System,Vendor," + pc.maker + ",", "WMI,System,Model," + pc.model + ","});
    if (pc.assetRecords) {
      rows.insert(rows.end(), {"資産,管理情報,姓,山田,", "資産,管理情報,名,太郎,", "資産,管理情報,管理番号," + k + ","});
    }
    std::string text = "Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n";
    for (const std::string& r : rows) text += k + "," + r + "," + d + "\r\n";
    return text;
  }

  fs::path write(const Pc& pc, std::string name = {}) { return writeBytes(name.empty() ? pc.key + ".csv" : name, codePage.toAnsi(Lines(pc))); }

  fs::path writeBytes(const std::string& name, const std::string& bytes) {
    const fs::path p = dir / "SAVE" / fs::path(std::u8string(name.begin(), name.end()));
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }

  ImportResult import(ImportRequest request = {}) {
    if (request.inputs.empty()) request.inputs = {(dir / "SAVE").string()};
    request.startedAt = "2026-12-07 10:00:00";
    if (request.checks.today.empty()) request.checks.today = "2026-12-07";
    return Import(db(), codePage, request);
  }

  Database& db() {
    if (!db_) {
      db_ = std::make_unique<Database>((dir / "ledger.sqlite").string());
      ApplySchema(*db_);
    }
    return *db_;
  }

  std::string query(const std::string& sql) {  // rows joined by "\n", columns by "|"
    Statement s = db().prepare(sql);
    std::string out;
    const int n = sqlite3_column_count(s.get());
    while (s.step()) {
      if (!out.empty()) out += "\n";
      for (int c = 0; c < n; ++c) out += (c ? "|" : "") + s.text(c);
    }
    return out;
  }

  fs::path dir;
  platform::IconvCodePage codePage;

 private:
  std::unique_ptr<Database> db_;
};

}  // namespace th::ledger::test

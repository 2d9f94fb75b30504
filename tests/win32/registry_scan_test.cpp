// RegScan.CMD as the program writes it, run by the real cmd.exe and reg.exe
// over uninstall entries this test puts into the registry, and the dump it
// leaves read back into records.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "collect/software.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win_platform.h"
#include "platform/win32/win_ui.h"
#include "run/batch.h"
#include "support/error_log.h"
#include "support/process_exec.h"
#include "support/text_file.h"

namespace th {
namespace {

const wchar_t* const kMachine = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t* const kUser = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t* const kWow = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Value {
  std::wstring name, data;
  DWORD type = REG_SZ;
};

// The 64-bit view, the machine's own: under WOW64 (the 32-bit build) it would otherwise be the 32-bit one.
void PutKey(HKEY root, const std::wstring& path, const std::vector<Value>& values) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const auto& v : values) {
    if (v.type == REG_DWORD) {
      const DWORD d = std::stoul(v.data);
      RegSetValueExW(key, v.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
    } else {
      RegSetValueExW(key, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.c_str()),
                     static_cast<DWORD>((v.data.size() + 1) * sizeof(wchar_t)));
    }
  }
  RegCloseKey(key);
}

// The test's own entries are all named "THtest ...": removed before and after.
void RemoveTestKeys() {
  for (auto [root, path] : {std::pair{HKEY_LOCAL_MACHINE, kMachine}, std::pair{HKEY_CURRENT_USER, kUser},
                            std::pair{HKEY_LOCAL_MACHINE, kWow}}) {
    for (const wchar_t* name : {L"THtest A", L"THtest B KB", L"THtest C 日本語", L"THtest D", L"THtest E",
                                L"THtest F", L"THtest G", L"THtest H", L"THtest U", L"THtest W\\sub", L"THtest W"}) {
      RegDeleteKeyExW(root, (std::wstring(path) + name).c_str(), KEY_WOW64_64KEY, 0);  // subkeys first
    }
  }
}

struct RegistryScanTest : ::testing::Test {
  win32::WinServices services;
  win32::WinFileSystem& fs = services.fs;
  win32::WinUi ui;
  platform::Platform os = services.with(ui);
  RunContext ctx{os};
  std::string dir;

  void SetUp() override {
    RemoveTestKeys();
    // Blanks, parentheses and Japanese in the folder, as in "新しいフォルダー (2)".
    dir = fs.tempFolder() + "th scan " + std::to_string(GetCurrentProcessId()) + " 新しいフォルダー (2)\\";
    std::filesystem::remove_all(std::filesystem::path(win32::Wide(dir)));
    ASSERT_TRUE(fs.createFolder(dir).done());
    SetLogFile(ctx, dir + "Error.Log");
    ctx.recordFilePath = dir + "records.csv";
    ctx.rec.Key = "abc-05-0012";
    ctx.rec.Renewalday = "2026/12/06";
  }
  void TearDown() override {
    RemoveTestKeys();
    std::filesystem::remove_all(std::filesystem::path(win32::Wide(dir)));
  }
  std::string bytes(const std::string& path) {
    std::ifstream in(std::filesystem::path(win32::Wide(path)), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(RegistryScanTest, TheBatchListsAllThreeKeysAndEveryApplicationBecomesOneRecord) {
  const std::wstring m = kMachine, u = kUser, w = kWow;
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest A",
         {{L"DisplayName", L"Alpha Tool"}, {L"DisplayVersion", L"1.2"}, {L"Publisher", L"Alpha Works"},
          {L"EstimatedSize", L"1234", REG_DWORD}});
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest B KB",
         {{L"DisplayName", L"Beta Update (KB1234567)"}, {L"ParentDisplayName", L"Beta"}});
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest C 日本語",
         {{L"DisplayName", L"日本語 ソフト"}, {L"DisplayVersion", L"2.0"},
          {L"InstallLocation", L"C:\\Program Files\\日本"}});
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest D", {{L"Publisher", L"No Name Inc"}});
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest E", {{L"DisplayName", L"Hotfix for Windows (KB) 123456"}});
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest F", {{L"DisplayName", L"Five (KB12345)"}, {L"ParentDisplayName", L""}});
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest G", {{L"DisplayName", L"Child"}, {L"ParentDisplayName", L"Parent"}});
  PutKey(HKEY_LOCAL_MACHINE, m + L"THtest H", {{L"DisplayName", L""}, {L"Publisher", L"Empty"}});
  PutKey(HKEY_CURRENT_USER, u + L"THtest U",
         {{L"DisplayName", L"ユーザー アプリ"}, {L"InstallLocation", L"C:\\users\\me\\app"}});
  PutKey(HKEY_LOCAL_MACHINE, w + L"THtest W",
         {{L"DisplayName", L"32bit App"}, {L"ProductID", L"PID-32"}, {L"Publisher", L"Maker"},
          {L"UninstallString", L"%ProgramFiles%\\x\\u.exe /x", REG_EXPAND_SZ}});
  PutKey(HKEY_LOCAL_MACHINE, w + L"THtest W\\sub", {{L"DisplayName", L"Sub Key"}});

  const std::string regScan = dir + "RegScan.CMD";
  const std::string dump = dir + "TH_reg.TxT";
  ASSERT_TRUE(AppendText(os, regScan, BatchText(RegScanLines(".\\TH_reg.TxT"))).done());
  ASSERT_TRUE(fs.append(dump, "left over from an earlier run\r\n").done());  // the batch deletes it first
  ASSERT_EQ(ShellWait(os, BatchCommandLine(regScan), platform::kShowMinimized), 0);

  const std::string raw = bytes(dump);
  ASSERT_FALSE(raw.empty());
  EXPECT_EQ(raw.find("left over"), std::string::npos);
  // Code page 932 with CR LF: 日本語 is 93 FA 96 7B 8C EA.
  EXPECT_NE(raw.find("    DisplayName    REG_SZ    \x93\xFA\x96\x7B\x8C\xEA \x83\x5C\x83\x74\x83\x67\r\n"),
            std::string::npos)
      << raw;
  const auto machine = raw.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\THtest A\r\n");
  const auto user = raw.find("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\THtest U\r\n");
  const auto wow = raw.find(
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\THtest W\\sub\r\n");
  ASSERT_NE(machine, std::string::npos) << raw;
  EXPECT_LT(machine, user);
  EXPECT_LT(user, wow);

  SoftCheck(ctx, dump);
  const auto line = [](const std::string& name, const std::string& version, const std::string& unit) {
    return "abc-05-0012,Soft,Application," + name + "," + version + "," + unit + ",2026/12/06\r\n";
  };
  EXPECT_EQ(services.codePage.fromAnsi(bytes(ctx.recordFilePath)),
            line("Alpha Tool", "1.2", "Alpha Works") + line("日本語 ソフト", "2.0", "C:\\Program Files\\日本") +
                line("Five (KB12345)", "", "") + line("ユーザー アプリ", "", "C:\\users\\me\\app") +
                line("32bit App", "", "PID-32") + line("Sub Key", "", ""));
  EXPECT_FALSE(fs.fileExists(dump));
  EXPECT_FALSE(fs.fileExists(dir + "Error.Log"));
}

// "¦" and "¥" have look-alikes in code page 932 ("|", "\\"): written as
// those, a folder name would turn into cmd syntax.
TEST_F(RegistryScanTest, AFolderTheCodePageCannotHoldExactlyIsNeverWrittenIntoABatch) {
  for (const std::string name : {"a¦b", "x¥y"}) {
    const std::string save = dir + name + "\\";
    ASSERT_TRUE(fs.createFolder(save).done());
    std::vector<std::unique_ptr<platform::Hold>> holds;
    BatMakeRun(ctx, save + "Runas.CMD", save + "RegScan.CMD", save + "TH_reg.TxT", ".\\RegScan.CMD", ".\\TH_reg.TxT",
               "TH_tmp_task_test", holds);
    EXPECT_FALSE(fs.fileExists(save + "TrustLevel.CMD"));
    EXPECT_FALSE(fs.fileExists(save + "Runas.CMD")) << bytes(save + "Runas.CMD");
  }
  const std::string log = services.codePage.fromAnsi(bytes(dir + "Error.Log"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  EXPECT_NE(log.find("\tBatMakeRun\t"), std::string::npos) << log;
}

}  // namespace
}  // namespace th

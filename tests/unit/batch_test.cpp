#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "run/batch.h"
#include "run/main_run.h"
#include "run/working_files.h"
#include "support/error_log.h"

namespace th {
namespace {

const std::string kProgram = "C:\\Program Files (x86)\\Inv Tool";
// The run's own folder, under a user name with a blank and parentheses.
const std::string kSave = "C:\\Users\\Taro Yamada (2)\\AppData\\Local\\Temp\\TH-0123456789ABCDEF\\";
const std::string kTrust = kSave + "TrustLevel.CMD";
const std::string kRunas = kSave + "Runas.CMD";
const std::string kRegScan = kSave + "RegScan.CMD";
const std::string kDump = kSave + "TH_reg.TxT";
const std::string kLog = kProgram + "\\Error.Log";
const std::string kTask = "TH_tmp_task_0123456789ABCDEF";

const std::string kTrustBytes =
    "@echo off\r\n"
    "cd /d \"%~dp0\"\r\n"
    "\r\n"
    "schtasks /create /tn TH_tmp_task_0123456789ABCDEF /tr "
    "\"C:\\Users\\Taro Yamada (2)\\AppData\\Local\\Temp\\TH-0123456789ABCDEF\\Runas.CMD\" /sc once /st 00:00 /f\r\n"
    "schtasks /run /tn TH_tmp_task_0123456789ABCDEF\r\n"
    "timeout /T 10\r\n"
    "schtasks /delete /f /tn TH_tmp_task_0123456789ABCDEF\r\n"
    "\r\n"
    "\r\n";

const std::string kRunasBytes =
    "@echo off\r\n"
    "cd /d \"%~dp0\"\r\n"
    "\r\n"
    "@powershell start-process "
    "'C:\\Users\\Taro Yamada (2)\\AppData\\Local\\Temp\\TH-0123456789ABCDEF\\RegScan.CMD' -verb runas\r\n"
    "if %ERRORLEVEL% == 1 (\r\n"
    "echo UAC_Cancel > \"C:\\Users\\Taro Yamada (2)\\AppData\\Local\\Temp\\TH-0123456789ABCDEF\\TH_reg.TxT\")\r\n"
    "\r\n"
    "\r\n";

// The two comment lines are code page 932 bytes.
const std::string kRegScanBytes =
    "@echo off\r\n"
    "cd /d \"%~dp0\"\r\n"
    "\r\n"
    "rem \x83" "f\x81[\x83^\x83t\x83@\x83" "C\x83\x8B\x82\xF0\x83N\x83\x8A\x83" "A\r\n"
    "Set THREG=.\\TH_reg.TxT\r\n"
    "@del /q %THREG% 2>NUL\r\n"
    "\r\n"
    "rem \x83\x8C\x83W\x83X\x83g\x83\x8A\x82\xE6\x82\xE8\x83" "C\x83\x93\x83X\x83g\x81[\x83\x8B\x8F\xEE\x95\xF1\x8E\xE6\x93\xBE\r\n"
    "@reg query \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\" /s >>%THREG% 2>&1\r\n"
    "@reg query \"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\" /s >>%THREG% 2>&1\r\n"
    "@reg query \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\" /s >>%THREG% 2>&1\r\n"
    "\r\n"
    "\r\n";

struct BatMakeRunTest : ::testing::Test {
  test::FakePlatform p;
  RunContext ctx{p.os};
  std::map<std::string, std::string> filesWhenRun;  // the files as TrustLevel.CMD starts
  std::vector<std::unique_ptr<platform::Hold>> holds;

  void SetUp() override {
    p.fs.program = kProgram;
    p.fs.addFolder(kProgram);
    p.fs.addFolder(kSave);
    SetLogFile(ctx, kLog);
    p.processes.onStart = [this](const std::string&) { filesWhenRun = p.fs.files; };
  }
  void run(const std::string& relativeRegScan = ".\\RegScan.CMD") {
    BatMakeRun(ctx, kRunas, kRegScan, kDump, relativeRegScan, ".\\TH_reg.TxT", kTask, holds);
  }
  std::string log() { return p.text(kLog); }
};

TEST_F(BatMakeRunTest, WritesTheThreeFilesThenRunsTrustLevelMinimizedAndDeletesIt) {
  run();
  ASSERT_EQ(p.processes.started.size(), 1u);
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd /c \"\"" + kTrust + "\"\"");
  EXPECT_EQ(p.processes.started[0].show, platform::kShowMinimized);
  EXPECT_EQ(p.processes.started[0].program, platform::SystemProgram::kCmd);
  EXPECT_EQ(p.processes.started[0].folder, kSave);  // started in the run's own folder
  EXPECT_EQ(p.processes.pumpedWaits, 1);  // waited for, with the windows kept alive

  // All three were complete before anything ran.
  EXPECT_EQ(filesWhenRun[kTrust], kTrustBytes);
  EXPECT_EQ(filesWhenRun[kRunas], kRunasBytes);
  EXPECT_EQ(filesWhenRun[kRegScan], kRegScanBytes);

  EXPECT_FALSE(p.fs.hasFile(kTrust));
  EXPECT_EQ(p.fs.content(kRunas), kRunasBytes);
  EXPECT_EQ(p.fs.content(kRegScan), kRegScanBytes);
  EXPECT_FALSE(p.fs.hasFile(kDump));
  EXPECT_FALSE(p.fs.hasFile(kLog));
}

TEST_F(BatMakeRunTest, AFolderNamedAfterAVariableIsNeverExpandedByCmd) {
  const std::string save = "C:\\x %OS% y\\SAVE\\";
  p.fs.program = "C:\\x %OS% y";
  p.fs.addFolder(save);
  BatMakeRun(ctx, save + "Runas.CMD", save + "RegScan.CMD", save + "TH_reg.TxT", ".\\RegScan.CMD", ".\\TH_reg.TxT",
             kTask, holds);
  ASSERT_EQ(p.processes.started.size(), 1u);
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd /c \"\"TrustLevel.CMD\"\"");
  EXPECT_EQ(p.processes.started[0].folder, save);
  EXPECT_FALSE(p.fs.hasFile(save + "TrustLevel.CMD"));
}

TEST_F(BatMakeRunTest, TheFourthArgumentChangesNothing) {
  run("C:\\Elsewhere\\Other.CMD");
  EXPECT_EQ(filesWhenRun[kTrust], kTrustBytes);
  EXPECT_EQ(p.fs.content(kRunas), kRunasBytes);
  EXPECT_EQ(p.fs.content(kRegScan), kRegScanBytes);
}

// A file already there was not made by this run: it is neither written to
// nor run, and nothing after it is written.
TEST_F(BatMakeRunTest, AFileAlreadyThereIsNeitherWrittenToNorRun) {
  p.fs.addFile(kRunas, "planted\r\n");
  run();
  EXPECT_EQ(p.fs.content(kRunas), "planted\r\n");
  EXPECT_FALSE(p.fs.hasFile(kRegScan));
  EXPECT_TRUE(p.processes.started.empty());
  const std::string text = log();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_NE(text.find("\tBatMakeRun\t"), std::string::npos) << text;
  EXPECT_NE(text.find("\t同じ名前のファイルが既にあります。\r\n"), std::string::npos) << text;
}

TEST_F(BatMakeRunTest, AFileThatCannotBeOpenedStopsEverythingAfterIt) {
  struct Case {
    std::string failing;
    std::vector<std::string> written;
  };
  for (const Case& c : {Case{kTrust, {}}, Case{kRunas, {kTrust}}, Case{kRegScan, {kTrust, kRunas}}}) {
    test::FakePlatform q;
    RunContext qctx{q.os};
    q.fs.program = kProgram;
    q.fs.addFolder(kProgram);
    q.fs.addFolder(kSave);
    SetLogFile(qctx, kLog);
    q.fs.unwritable.insert(c.failing);
    BatMakeRun(qctx, kRunas, kRegScan, kDump, ".\\RegScan.CMD", ".\\TH_reg.TxT", kTask, holds);

    EXPECT_TRUE(q.processes.started.empty()) << c.failing;
    for (const std::string& f : {kTrust, kRunas, kRegScan}) {
      const bool expected = std::find(c.written.begin(), c.written.end(), f) != c.written.end();
      EXPECT_EQ(q.fs.hasFile(f), expected) << f << " when " << c.failing << " fails";
    }
    const std::string log = q.text(kLog);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find("\tBatMakeRun\t"), std::string::npos) << log;
    EXPECT_NE(log.find("パスが見つかりません。"), std::string::npos) << log;
  }
}

// "¦" would reach the file as "|" or "?", which cmd reads otherwise.
TEST_F(BatMakeRunTest, APathTheCodePageCannotHoldIsNeverWritten) {
  const std::string folder = "C:\\Users\\a¦b\\Temp\\TH-0123456789ABCDEF\\";
  p.fs.addFolder(folder);
  BatMakeRun(ctx, folder + "Runas.CMD", folder + "RegScan.CMD", folder + "TH_reg.TxT", ".\\RegScan.CMD",
             ".\\TH_reg.TxT", kTask, holds);
  EXPECT_EQ(p.fs.search(folder).size(), 2u);  // ".", ".."
  EXPECT_TRUE(p.processes.started.empty());
  EXPECT_NE(log().find("\tBatMakeRun\t"), std::string::npos);
  EXPECT_NE(log().find("\tコード ページで表せない文字があります。\r\n"), std::string::npos) << log();
}

TEST_F(BatMakeRunTest, TrustLevelIsDeletedEvenWhenItCannotBeStarted) {
  p.processes.onStart = [](const std::string&) { throw Failure("ファイルが見つかりません。"); };
  run();
  EXPECT_FALSE(p.fs.hasFile(kTrust));
  EXPECT_TRUE(p.fs.hasFile(kRunas));
  EXPECT_FALSE(p.fs.hasFile(kLog));
}

// Folder names that cmd or PowerShell would otherwise read as syntax.
TEST(BatchLines, PathsStayLiteralForCmdAndPowerShell) {
  const auto runas = RunasLines("C:\\Users\\O'Brien\\R&D 100%\\SAVE\\RegScan.CMD",
                                "C:\\Users\\O'Brien\\R&D 100%\\SAVE\\TH_reg.TxT");
  EXPECT_EQ(runas[3], "@powershell start-process 'C:\\Users\\O''Brien\\R^&D 100%%\\SAVE\\RegScan.CMD' -verb runas");
  EXPECT_EQ(runas[5], "echo UAC_Cancel > \"C:\\Users\\O'Brien\\R&D 100%%\\SAVE\\TH_reg.TxT\")");
  EXPECT_EQ(TrustLevelLines("C:\\100%\\a%b%\\Runas.CMD", "TH_tmp_task_X-1")[3],
            "schtasks /create /tn TH_tmp_task_X-1 /tr \"C:\\100%%\\a%%b%%\\Runas.CMD\" /sc once /st 00:00 /f");
  EXPECT_EQ(PowerShellLiteral("C:\\a|b<c>d^e\\x"), "'C:\\a^|b^<c^>d^^e\\x'");
  EXPECT_EQ(PowerShellLiteral("C:\\''\\\u2019s"), "'C:\\''''\\\u2019\u2019s'");
  // Japanese names and ordinary paths pass unchanged.
  EXPECT_EQ(PowerShellLiteral("C:\\Users\\山田\\SAVE\\RegScan.CMD"), "'C:\\Users\\山田\\SAVE\\RegScan.CMD'");
}

// cmd cannot make a UNC folder current, so RegScan.CMD must not rely on its
// folder there: the dump is named in full; the other lines stay as they are.
TEST(BatchLines, UnderAUncFolderTheDumpIsNamedInFull) {
  const std::string folder = "\\\\server\\home 1\\temp\\TH-0123456789ABCDEF\\";
  const std::string dumpName = BatchDumpName(folder + "TH_reg.TxT", ".\\TH_reg.TxT");
  EXPECT_EQ(dumpName, "\"" + folder + "TH_reg.TxT\"");
  EXPECT_EQ(RegScanLines(dumpName)[4], "Set THREG=\"\\\\server\\home 1\\temp\\TH-0123456789ABCDEF\\TH_reg.TxT\"");
  EXPECT_EQ(BatchDumpName("S:\\temp\\TH-0123456789ABCDEF\\TH_reg.TxT", ".\\TH_reg.TxT"), ".\\TH_reg.TxT");

  const auto trust = TrustLevelLines(folder + "Runas.CMD", kTask);
  EXPECT_EQ(trust[3], "schtasks /create /tn TH_tmp_task_0123456789ABCDEF /tr \"" + folder + "Runas.CMD\" /sc once /st 00:00 /f");
  const auto runas = RunasLines(folder + "RegScan.CMD", folder + "TH_reg.TxT");
  EXPECT_EQ(runas[3], "@powershell start-process '" + folder + "RegScan.CMD' -verb runas");
  EXPECT_EQ(runas[5], "echo UAC_Cancel > \"" + folder + "TH_reg.TxT\")");
  EXPECT_EQ(BatchCommandLine(folder + "RegScan.CMD"), "cmd /c \"\"" + folder + "RegScan.CMD\"\"");
}

// The run writes the files before its first wait; the task's refusal marker
// then ends the run with all of them gone.
TEST(BatchInTheRun, RefusedElevationEndsTheRunAndLeavesNoBatchFile) {
  test::FakePlatform p;
  const std::string save = "C:\\Users\\user\\AppData\\Local\\Temp\\TH-0123456789ABCDEF\\";
  std::uint32_t startedAt = 1;
  p.processes.onStart = [&](const std::string& cmd) {
    if (cmd != "cmd /c \"\"" + save + "TrustLevel.CMD\"\"") return;
    startedAt = p.clock.ms;
    EXPECT_TRUE(p.fs.hasFile(save + "Runas.CMD"));
    EXPECT_TRUE(p.fs.hasFile(save + "RegScan.CMD"));
    p.fs.addFile(save + "TH_reg.TxT", "UAC_Cancel \r\n");
  };
  RunSequence(p.os).Main();
  EXPECT_EQ(startedAt, 0u);
  EXPECT_EQ(p.ui.events, (std::vector<std::string>{"notice 2", "close notice",
                                                   "box インベントリ収集: キャンセルしたので、データ収集を中止しました。"}));
  for (const char* f : {"TrustLevel.CMD", "Runas.CMD", "RegScan.CMD", "TH_reg.TxT"}) {
    EXPECT_FALSE(p.fs.hasFile(save + f)) << f;
  }
}

}  // namespace
}  // namespace th

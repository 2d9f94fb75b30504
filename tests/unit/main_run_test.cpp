#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "fakes/fake_platform.h"
#include "fakes/wmi_fixture.h"
#include "run/main_run.h"

namespace th {
namespace {

const std::string kSave = "C:\\Tools\\Inv\\SAVE\\";
const std::string kTemp = "C:\\Users\\user\\AppData\\Local\\Temp\\";
const std::string kRunFolder = kTemp + "TH-0123456789ABCDEF\\";  // named after the first random number
const std::string kDump = kRunFolder + "TH_reg.TxT";
const std::string kLog = "C:\\Tools\\Inv\\Error.Log";

// What the user saw: the preparing notice over the waits, then `after`.
std::vector<std::string> AfterTheWaits(std::vector<std::string> after) {
  after.insert(after.begin(), {"notice 2", "close notice"});
  return after;
}

// The elevated scan, acted out: it writes the dump as TrustLevel.CMD runs.
void ScanWrites(test::FakePlatform& q, const std::string& bytes) {
  q.processes.onStart = [&q, bytes](const std::string& cmd) {
    if (cmd.find("TrustLevel.CMD") != std::string::npos) q.fs.addFile(kDump, bytes);
  };
}

struct MainRunTest : ::testing::Test {
  test::FakePlatform p;
  void dump(const std::string& bytes) { ScanWrites(p, bytes); }
  // A run folder in the temporary folder, or anything in SAVE but a CSV.
  bool anyWorkingFile() {
    for (const auto& f : p.fs.folders) {
      if (f.rfind(kTemp + "TH-", 0) == 0) return true;
    }
    for (const auto& f : p.fs.files) {
      if (f.first.rfind(kSave, 0) == 0 && f.first.substr(f.first.size() - 4) != ".csv") return true;
    }
    return false;
  }

};

// A programming error is taken for no failed step: it leaves Main, and the
// program's last-resort handler (as wWinMain has it) ends the run on the
// error path under the error's own description.
TEST_F(MainRunTest, AProgrammingErrorEndsTheRunOnTheErrorPathUnderItsOwnDescription) {
  dump("\r\n");
  p.processes.onStart = [](const std::string&) { throw std::out_of_range("basic_string::substr"); };
  RunSequence run(p.os);
  try {
    run.Main();
    ADD_FAILURE() << "the programming error was swallowed";
  } catch (const std::out_of_range& e) {
    run.EndOnErrorPath(e.what());
  }
  EXPECT_EQ(p.text(kLog), "2026/12/06 09:05:07 \tPC01\tMain\t\t\t\t\t\t\t\tbasic_string::substr\r\n");
  EXPECT_FALSE(anyWorkingFile());
  EXPECT_EQ(p.ui.events, AfterTheWaits({}));
  EXPECT_TRUE(p.clock.sleeps.empty());  // ended at the batch's start, not waited past it
}

TEST_F(MainRunTest, SecondInstanceEndsAtOnceTouchingNothing) {
  p.ui.firstInstance = false;
  const auto files = p.fs.files;
  const auto folders = p.fs.folders;
  RunSequence(p.os).Main();
  EXPECT_EQ(p.fs.files, files);
  EXPECT_EQ(p.fs.folders, folders);
  EXPECT_TRUE(p.ui.events.empty());
  EXPECT_TRUE(p.processes.started.empty());
  EXPECT_TRUE(p.clock.sleeps.empty());
}

TEST_F(MainRunTest, MissingDumpRunsTheScanThenEndsOnTheErrorPathSilently) {
  std::vector<std::size_t> secondsAtStart;
  p.processes.onStart = [&](const std::string&) { secondsAtStart.push_back(p.clock.sleeps.size()); };
  RunSequence(p.os).Main();
  ASSERT_EQ(p.processes.started.size(), 2u);  // TrustLevel.CMD, then the fallback scan
  EXPECT_EQ(p.processes.started[1].commandLine, "cmd /c \"\"" + kRunFolder + "RegScan.CMD\"\"");
  EXPECT_EQ(p.processes.started[1].show, platform::kShowMinimized);
  EXPECT_EQ(p.processes.started[1].folder, kRunFolder);
  // The batch before any wait, the scan after the 30 s and before the 6 s.
  EXPECT_EQ(secondsAtStart, (std::vector<std::size_t>{0, 30}));
  EXPECT_EQ(p.clock.sleeps.size(), 36u);  // polled once a second
  EXPECT_EQ(p.ui.events, AfterTheWaits({}));
  EXPECT_FALSE(anyWorkingFile());
  const std::string log = p.text(kLog);
  EXPECT_EQ(log.rfind("2026/12/06 09:05:07 \tPC01\tMain\t\t\t\t\t\t\t\t", 0), 0u) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

// A RegScan.CMD the batch step refused (not written whole, or found not the
// user's) is not this run's: the fallback never runs it.
TEST_F(MainRunTest, TheFallbackScanRunsOnlyARegScanTheRunMadeAndHolds) {
  const std::string regScan = kRunFolder + "RegScan.CMD";
  const std::function<void(test::FakePlatform&)> refusals[] = {
      [&](test::FakePlatform& q) { q.fs.cutOff.insert(regScan); },
      [&](test::FakePlatform& q) { q.fs.owners[regScan] = "S-1-5-21-9"; },
  };
  for (const auto& refuse : refusals) {
    test::FakePlatform q;
    refuse(q);
    RunSequence(q.os).Main();
    EXPECT_TRUE(q.processes.started.empty());
    EXPECT_EQ(q.ui.events, AfterTheWaits({}));
    const std::string log = q.text(kLog);
    EXPECT_NE(log.find("\tBatMakeRun\t"), std::string::npos) << log;
  }
}

TEST_F(MainRunTest, DumpPresentAfterTheFirstWaitSkipsTheFallbackScan) {
  dump("\r\nHKEY_LOCAL_MACHINE\\x\r\n");
  RunSequence(p.os).Main();
  ASSERT_EQ(p.processes.started.size(), 1u);  // TrustLevel.CMD only
  EXPECT_EQ(p.processes.started[0].commandLine, "cmd /c \"\"" + kRunFolder + "TrustLevel.CMD\"\"");
  EXPECT_EQ(p.clock.sleeps.size(), 36u);
}

TEST_F(MainRunTest, PreparingNoticeFillsOverTheWaitsAroundTheFallbackScan) {
  std::vector<std::pair<std::string, std::vector<double>>> barAtStart;  // command, bar so far
  p.processes.onStart = [&](const std::string& cmd) {
    barAtStart.push_back({cmd, p.ui.progress});
    if (cmd.find("RegScan.CMD") != std::string::npos) p.fs.addFile(kDump, "\r\n");
  };
  RunSequence(p.os).Main();
  ASSERT_GE(barAtStart.size(), 2u);
  // Up with an empty bar before the scan starts; the fallback scan runs once
  // 30 of the 36 seconds have filled it, and the last 6 fill the rest.
  EXPECT_EQ(barAtStart[0].second, std::vector<double>{0.0});
  EXPECT_EQ(barAtStart[1].second.back(), 30.0 / 36);
  EXPECT_TRUE(std::is_sorted(p.ui.progress.begin(), p.ui.progress.end()));
  EXPECT_EQ(p.ui.progress.back(), 1.0);
  EXPECT_EQ(p.ui.events.at(2), "entry form");  // after the notice closed
}

TEST_F(MainRunTest, ExactCancelMarkerEndsTheRunWithItsMessage) {
  dump("UAC_Cancel \r\n");
  RunSequence(p.os).Main();
  EXPECT_EQ(p.ui.events, AfterTheWaits({"box インベントリ収集: キャンセルしたので、データ収集を中止しました。"}));
  EXPECT_FALSE(anyWorkingFile());
  EXPECT_FALSE(p.fs.hasFile(kLog));
}

TEST_F(MainRunTest, ANearMarkerIsNoCancel) {
  for (const std::string& content : {std::string("UAC_Cancel\r\n"), std::string("uac_cancel \r\n"),
                                     std::string("\r\nUAC_Cancel \r\n"), std::string(""),
                                     std::string("UAC_Cancel  \r\n")}) {
    test::FakePlatform q;
    ScanWrites(q, content);
    RunSequence(q.os).Main();
    ASSERT_GE(q.ui.events.size(), 3u);
    EXPECT_EQ(q.ui.events[2], "entry form") << content;
  }
}

TEST_F(MainRunTest, EntryLeftWithoutConfirmingEndsWithTheStopMessage) {
  dump("\r\n");
  p.ui.entry = {};  // closed: empty values, flag false
  RunSequence(p.os).Main();
  EXPECT_EQ(p.ui.events, AfterTheWaits({"entry form", "box インベントリ収集: データ収集を中止しました。"}));
  EXPECT_FALSE(anyWorkingFile());
  // GetKey made it and wrote the adapters' addresses into it: it must not stay behind.
  EXPECT_FALSE(p.fs.hasFile("C:\\Users\\user\\AppData\\Local\\Temp\\WKP1A2B.tmp"));
  EXPECT_EQ(p.fs.tempCounter, 0x1A2C);  // and it was made
}

TEST_F(MainRunTest, ConfirmedEntryBecomesTheKeyAndShowsTheStartNotice) {
  dump("\r\n");
  p.ui.entry = {"abc-05-0012", "山田", "太郎", true};
  RunSequence(p.os).Main();
  ASSERT_GE(p.ui.events.size(), 4u);
  EXPECT_EQ(p.ui.events[3], "notice 1");
}

// SAVE beside the program is left to the delivery: the working files are not there.
TEST_F(MainRunTest, SaveIsMadeInTheCurrentFolderAndTheLogGoesBesideTheProgram) {
  p.fs.current = "D:\\Launch";
  p.fs.addFolder("D:\\Launch");
  p.fs.folders.erase("C:\\Tools\\Inv\\SAVE");
  RunSequence(p.os).Main();
  EXPECT_TRUE(p.fs.folderExists("D:\\Launch\\SAVE"));
  EXPECT_FALSE(p.fs.folderExists("C:\\Tools\\Inv\\SAVE"));
  EXPECT_TRUE(p.fs.hasFile(kLog));  // beside the program, not in D:\Launch
  EXPECT_FALSE(p.fs.hasFile("D:\\Launch\\Error.Log"));
}

// A confirmed run to its end, over a machine that answers every query.
struct NormalEndTest : MainRunTest {
  const std::string record = kRunFolder + "WKP1A2B.tmp";  // in the run's own folder
  std::string recordAtExplorer;  // the working record file as Explorer starts
  bool recordPresentAtExplorer = false;

  NormalEndTest() {
    test::LoadWmiFixture(p.wmi, "desktop.txt");
    test::LoadWmiFixture(p.wmi, "adapters.txt");
      dump("\r\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\A\r\n"
         "    DisplayName    REG_SZ    Alpha Tool\r\n    DisplayVersion    REG_SZ    1.2\r\n\r\n");
    p.ui.entry = {"abc-05-0012", "山田", "太郎", true};
    p.processes.onStart = [this, scan = p.processes.onStart](const std::string& cmd) {
      scan(cmd);
      if (cmd.rfind("explorer ", 0) != 0) return;
      p.ui.events.push_back("start " + cmd);
      recordPresentAtExplorer = p.fs.hasFile(record);
      recordAtExplorer = p.fs.content(record);
    };
  }
};

TEST_F(NormalEndTest, DeliversOpensTheFolderShowsSuccessAndRemovesTheWorkingFiles) {
  const std::string dest = kSave + "abc-05-0012.csv";
  RunSequence(p.os).Main();

  EXPECT_EQ(p.ui.events, AfterTheWaits({"entry form", "notice 1", "close notice",
                                        "start explorer \"C:\\Tools\\Inv\\SAVE\\\"", "modal notice 8"}));
  EXPECT_EQ(p.processes.started.back().show, platform::kShowNormal);

  ASSERT_TRUE(recordPresentAtExplorer);
  const std::string csv = p.text(dest);
  EXPECT_EQ(p.fs.content(dest), recordAtExplorer);
  EXPECT_EQ(csv.rfind("Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n"
                      "abc-05-0012,Create,DateTime,2026/12/06,09:05:07,,2026/12/06\r\n"
                      "abc-05-0012,LAN,Adapter,",
                      0),
            0u)
      << csv;
  const std::string tail =
      "abc-05-0012,Soft,Application,Alpha Tool,1.2,,2026/12/06\r\n"
      // After the applications and before the asset lines: what a Windows 7
      // PC without the later functions tells of the Windows 11 facts.
      "abc-05-0012,Platform,Section,Version,1,,2026/12/06\r\n"
      "abc-05-0012,Platform,CPU,Vendor,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,CPU,Identifier,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,CPU,PlatformId,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,CPU,Arm81Atomics,0,,2026/12/06\r\n"
      "abc-05-0012,Platform,CPU,LogicalProcessors,4,,2026/12/06\r\n"
      "abc-05-0012,Platform,CPU,Architecture,x64,,2026/12/06\r\n"
      "abc-05-0012,Platform,Memory,Installed,8388608,KB,2026/12/06\r\n"
      "abc-05-0012,Platform,Firmware,Type,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,Firmware,SecureBootCapable,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,Firmware,SecureBootEnabled,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,Firmware,SecureBootCA2023,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,TPM,Version,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,OS,CurrentBuild,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,OS,UBR,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,OS,DisplayVersion,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,OS,EditionID,,unsupported,2026/12/06\r\n"
      "abc-05-0012,Platform,Appraiser,Targets,,none,2026/12/06\r\n"
      "abc-05-0012,Platform,Appraiser,Bypass,,,2026/12/06\r\n"
      "abc-05-0012,資産,管理情報,姓,山田,,2026/12/06\r\n"
      "abc-05-0012,資産,管理情報,名,太郎,,2026/12/06\r\n"
      "abc-05-0012,資産,管理情報,管理番号,abc-05-0012,,2026/12/06\r\n";
  ASSERT_GE(csv.size(), tail.size());
  EXPECT_EQ(csv.substr(csv.size() - tail.size()), tail) << csv;

  EXPECT_FALSE(p.fs.hasFile(record));
  EXPECT_FALSE(anyWorkingFile());
  EXPECT_TRUE(p.fs.hasFile(dest));
  // On the share: the delivered file and nothing else.
  for (const auto& f : p.fs.files) {
    if (f.first.rfind("C:\\Tools\\", 0) == 0) {
      EXPECT_EQ(f.first, dest);
    }
  }
}

// A folder of the first name exists (made by someone to catch the run, or
// left by a crashed one): the run makes one of another name and neither runs
// nor touches what the first holds.
TEST_F(NormalEndTest, AFolderThatExistsIsNeverTakenOver) {
  const std::map<std::string, std::string> planted = {{kRunFolder + "Runas.CMD", "planted runas"},
                                                      {kRunFolder + "RegScan.CMD", "planted scan"}};
  for (const auto& [path, bytes] : planted) p.fs.addFile(path, bytes);
  const std::string ours = kTemp + "TH-0123456789ABCDF0\\";  // the second random number
  p.processes.onStart = [this, ours, explorer = p.processes.onStart](const std::string& cmd) {
    if (cmd.find("TrustLevel.CMD") != std::string::npos) {
      EXPECT_NE(p.text(ours + "TrustLevel.CMD").find("\r\nschtasks /run /tn TH_tmp_task_0123456789ABCDF0\r\n"),
                std::string::npos);
      p.fs.addFile(ours + "TH_reg.TxT", "\r\n");
    }
    explorer(cmd);
  };
  RunSequence(p.os).Main();
  EXPECT_EQ(p.processes.started.at(0).commandLine, "cmd /c \"\"" + ours + "TrustLevel.CMD\"\"");
  for (const auto& [path, bytes] : planted) EXPECT_EQ(p.fs.content(path), bytes) << path;
  EXPECT_TRUE(p.fs.folderExists(kRunFolder));
  EXPECT_FALSE(p.fs.folderExists(ours));  // this run's folder is gone with its files
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");
}

// No folder of its own, no run: never one it did not make (or that, made
// with the user's own descriptor, is not found the user's alone), and a
// refusal is not tried again under other names. The user is told why.
TEST_F(MainRunTest, WithoutAFolderOfItsOwnTheRunEndsAndSaysWhy) {
  const std::string folder = kRunFolder.substr(0, kRunFolder.size() - 1);
  struct Case {
    const char* what;
    std::function<void(test::FakePlatform&)> arrange;
    std::size_t mkdirs;
    std::string why;
  };
  const Case cases[] = {
      {"refused", [](test::FakePlatform& q) { q.fs.folders.erase(kTemp.substr(0, kTemp.size() - 1)); }, 1,
       "パスが見つかりません。"},
      {"every name taken",
       [](test::FakePlatform& q) {
         q.system.randomStep = 0;
         q.fs.addFile(kRunFolder + "RegScan.CMD", "planted");
       },
       8, "作業フォルダーを作成できません。同じ名前のフォルダーが既にあります。"},
      {"owned by another", [&](test::FakePlatform& q) { q.fs.owners[folder] = "S-1-5-32-544"; }, 1,
       "作成したはずのファイルの所有者が違います。 (" + kTemp + ")"},
      {"a temporary folder on FAT", [&](test::FakePlatform& q) { q.fs.accessLists[folder] = ""; }, 1,
       "アクセス権を保てないドライブ (FAT、exFAT など) にあります。 (" + kTemp + ")"},
      {"open to every user",
       [&](test::FakePlatform& q) {
         q.fs.accessLists[folder] = "D:P(A;OICI;FA;;;" + test::kUserSid + ")(A;OICI;0x1200a9;;;BU)";
       },
       1, "作成したはずのファイルに、ほかのユーザーが使えるアクセス権があります。 (" + kTemp + ")"},
      {"taking what the parent allows",
       [&](test::FakePlatform& q) {
         q.fs.accessLists[folder] = "D:AI(D;OICI;FA;;;WD)(A;OICI;FA;;;SY)(A;OICIID;0x1301bf;;;S-1-5-32-545)";
       },
       1,
       "作成したはずのファイルに、ほかのユーザーが使えるアクセス権があります。 (" + kTemp + ")"},
  };
  for (const Case& c : cases) {
    test::FakePlatform q;
    c.arrange(q);
    ScanWrites(q, "\r\n");
    RunSequence(q.os).Main();
    EXPECT_TRUE(q.processes.started.empty()) << c.what;
    EXPECT_EQ(q.ui.events, (std::vector<std::string>{"box インベントリ収集: 作業フォルダーを安全に作成できないため、"
                                                     "データ収集を中止しました。\n" + c.why}))
        << c.what;
    const auto mkdirs = std::count_if(q.fs.log.begin(), q.fs.log.end(),
                                      [](const std::string& e) { return e.rfind("mkdir " + kTemp, 0) == 0; });
    EXPECT_EQ(static_cast<std::size_t>(mkdirs), c.mkdirs) << c.what;
    EXPECT_EQ(q.text(kLog), "2026/12/06 09:05:07 \tPC01\tMain\t\t\t\t\t\t\t\t" + c.why + "\r\n") << c.what;
    // One it made but may not use goes again; a planted one stays as it was.
    EXPECT_EQ(q.fs.folderExists(kRunFolder), q.system.randomStep == 0) << c.what;
    if (q.system.randomStep == 0) {
      EXPECT_EQ(q.fs.content(kRunFolder + "RegScan.CMD"), "planted");
    }
  }
}

TEST_F(NormalEndTest, UnwritableDestinationShowsFailureAndStillRemovesTheRecordFile) {
  p.fs.addFolder(kSave + "abc-05-0012.csv");  // a folder where the file should go
  RunSequence(p.os).Main();
  EXPECT_EQ(p.ui.events, AfterTheWaits({"entry form", "notice 1", "close notice", "modal notice 7"}));
  EXPECT_TRUE(p.fs.folderExists(kSave + "abc-05-0012.csv"));
  EXPECT_FALSE(p.fs.hasFile(record));
  EXPECT_FALSE(anyWorkingFile());
  for (const auto& s : p.processes.started) EXPECT_EQ(s.commandLine.rfind("explorer", 0), std::string::npos);
}

// The SAVE that Main makes in the current folder is not the program's: the
// delivery still makes and uses the one beside the program.
TEST_F(NormalEndTest, StartedFromAnotherFolderDeliversBesideTheProgram) {
  p.fs.current = "D:\\Launch";
  p.fs.addFolder(p.fs.current);
  p.fs.folders.erase("C:\\Tools\\Inv\\SAVE");
  RunSequence(p.os).Main();
  EXPECT_TRUE(p.fs.hasFile(kSave + "abc-05-0012.csv"));
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");
  EXPECT_EQ(p.fs.search("D:\\Launch\\SAVE\\").size(), 2u);  // ".", ".."
}

TEST_F(NormalEndTest, DesktopMarkerDeliversToTheDesktopsSave) {
  p.fs.addFile("C:\\Tools\\Inv\\DAT\\Desktop.txt", "");
  RunSequence(p.os).Main();
  EXPECT_TRUE(p.fs.hasFile("C:\\Users\\user\\Desktop\\SAVE\\abc-05-0012.csv"));
  EXPECT_FALSE(p.fs.hasFile(kSave + "abc-05-0012.csv"));
  EXPECT_EQ(p.ui.events.at(5), "start explorer \"C:\\Users\\user\\Desktop\\SAVE\\\"");
  EXPECT_FALSE(p.fs.hasFile(record));
}

// The report is there: an Explorer that cannot start is logged, and the user
// still sees the success notice.
TEST_F(NormalEndTest, ExplorerThatCannotStartIsLoggedAndTheSuccessStillShown) {
  p.processes.onStart = [scan = p.processes.onStart](const std::string& cmd) {
    scan(cmd);
    if (cmd.rfind("explorer ", 0) == 0) throw Failure("ファイルが見つかりません。");
  };
  RunSequence(p.os).Main();
  EXPECT_EQ(p.ui.events, AfterTheWaits({"entry form", "notice 1", "close notice",
                                        "start explorer \"C:\\Tools\\Inv\\SAVE\\\"", "modal notice 8"}));
  EXPECT_TRUE(p.fs.hasFile(kSave + "abc-05-0012.csv"));
  EXPECT_FALSE(p.fs.hasFile(record));
  EXPECT_FALSE(anyWorkingFile());
  const std::string log = p.text(kLog);
  const std::string explorerEntry = "\tMain\tabc-05-0012\t資産\t管理情報\t管理番号\tabc-05-0012\t\t2026/12/06\t"
                                    "ファイルが見つかりません。\r\n";
  ASSERT_GE(log.size(), explorerEntry.size());
  EXPECT_EQ(log.substr(log.size() - explorerEntry.size()), explorerEntry) << log;
  EXPECT_EQ(log.find("\tMain\t"), log.rfind("\tMain\t")) << log;  // one entry
}

// The run's folder and batch files are the user's alone, whatever the
// temporary folder passes on, and held while the scan may run: the first
// batch while it runs, the other two (and the folder) to the clean-up.
TEST_F(NormalEndTest, WorkingFilesAreTheUsersAloneAndHeldWhileTheScanMayRun) {
  const std::string sid = test::kUserSid;
  const std::string file = "O:" + sid + "D:P(A;;FA;;;" + sid + ")(A;;FA;;;SY)(A;;FA;;;BA)";
  std::vector<std::set<std::string>> heldAtStart;
  p.processes.onStart = [&, scan = p.processes.onStart](const std::string& cmd) {
    heldAtStart.emplace_back();
    for (const auto& [path, n] : p.fs.held) {
      if (n > 0) heldAtStart.back().insert(path.substr(kTemp.size()));
    }
    scan(cmd);
  };
  RunSequence(p.os).Main();
  const std::string folder = "TH-0123456789ABCDEF";
  EXPECT_EQ(p.fs.securityDescriptors,
            (std::map<std::string, std::string>{
                {kTemp + folder, "O:" + sid + "D:P(A;OICI;FA;;;" + sid + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"},
                {kRunFolder + "TrustLevel.CMD", file},
                {kRunFolder + "Runas.CMD", file},
                {kRunFolder + "RegScan.CMD", file}}));
  std::set<std::string> all = {folder, folder + "\\TrustLevel.CMD", folder + "\\Runas.CMD",
                                     folder + "\\RegScan.CMD"};
  ASSERT_EQ(heldAtStart.size(), 2u);  // TrustLevel.CMD, Explorer
  EXPECT_EQ(heldAtStart[0], all);
  all.erase(folder + "\\TrustLevel.CMD");  // let go of once it has run, and deleted
  EXPECT_EQ(heldAtStart[1], all);
  EXPECT_FALSE(anyWorkingFile());  // let go of at the clean-up, or they could not be deleted
  EXPECT_EQ(p.ui.events.back(), "modal notice 8");
}

}  // namespace
}  // namespace th

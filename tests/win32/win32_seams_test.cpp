// The Windows seams against the real API (run under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/failure.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win_codepage.h"
#include "platform/win32/win_filesystem.h"
#include "platform/win32/win_machine.h"
#include "platform/win32/win_processes.h"
#include "platform/win32/win_registry.h"
#include "platform/win32/win_system_info.h"
#include "support/text.h"

namespace th::win32 {
namespace {

using platform::FileResult;

// Code that asks GetLastError() after an owner closed its handle must still
// see the failure it asks about, even when the close itself failed.
TEST(ScopedHandle, ClosingKeepsTheLastError) {
  auto* bogus = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7ffffff0));
  ASSERT_FALSE(CloseHandle(bogus));  // a close that fails and sets its own error
  SetLastError(ERROR_ALREADY_EXISTS);
  { ScopedHandle owner(bogus); }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

struct WinFsTest : ::testing::Test {
  WinFileSystem fs;
  WinCodePage cp;
  std::string dir;
  void SetUp() override {
    dir = fs.tempFolder() + "th test " + std::to_string(GetCurrentProcessId()) + " " +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + " 日本語\\";
    std::filesystem::remove_all(std::filesystem::path(Wide(dir)));
    ASSERT_TRUE(fs.createFolder(dir).done());
  }
  void TearDown() override { std::filesystem::remove_all(std::filesystem::path(Wide(dir))); }
  std::vector<std::string> lines(const std::string& path) {
    auto reader = fs.openLines(path).value;
    std::vector<std::string> out;
    for (std::string l; reader->next(l);) out.push_back(l);
    return out;
  }
};

TEST_F(WinFsTest, AppendCreatesThenAppendsAndLinesSplitOnEveryLineEnd) {
  const std::string f = dir + "a b.txt";
  ASSERT_TRUE(fs.append(f, "one\r\ntwo\n").done());
  ASSERT_TRUE(fs.append(f, "three\rfour\r\n\r\nlast").done());
  EXPECT_EQ(lines(f), (std::vector<std::string>{"one", "two", "three", "four", "", "last"}));
  EXPECT_EQ(fs.fileLength(f), 27);
  EXPECT_EQ(fs.fileLength(dir + "none.txt"), -1);
}

// What exists is never taken over: a folder or file that is there already is
// told apart, by value, from one made now and from a refusal.
TEST_F(WinFsTest, NewFoldersAndFilesAreNeverOnesThatExist) {
  EXPECT_EQ(fs.createFolder(dir + "run").result, FileResult::kDone);
  EXPECT_EQ(fs.createFolder(dir + "run").result, FileResult::kExists);
  const auto refused = fs.createFolder(dir + "missing\\run");
  EXPECT_EQ(refused.result, FileResult::kMissing);
  EXPECT_FALSE(refused.failure.empty());

  const std::string f = dir + "run\\Runas.CMD";
  EXPECT_EQ(fs.writeNewFile(f, "ours\r\n", "").result, FileResult::kDone);
  EXPECT_EQ(fs.writeNewFile(f, "again\r\n", "").result, FileResult::kExists);
  EXPECT_EQ(lines(f), std::vector<std::string>{"ours"});
  EXPECT_EQ(fs.writeNewFile(dir + "missing\\x.CMD", "x", "").result, FileResult::kMissing);
}

// The ordinary ways a call on a file ends, each told by value with the
// system's own description: the file missing, held open by another program
// (opened without sharing), or refused (read-only, or a folder in its place).
// (Wine lets a read-only file be opened for appending, so that is not asked.)
TEST_F(WinFsTest, MissingHeldAndDeniedAreToldApart) {
  const std::string file = dir + "a.csv", held = dir + "held.csv", other = dir + "b.csv", none = dir + "none.csv";
  const std::string readOnly = dir + "ro.csv", folder = dir + "sub";
  for (const std::string& f : {file, held, readOnly}) ASSERT_TRUE(fs.append(f, "x\r\n").done());
  ASSERT_TRUE(fs.createFolder(folder).done());
  ASSERT_TRUE(SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
  ScopedHandle holder(CreateFileW(Wide(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);

  struct Case {
    const char* what;
    platform::FileOutcome outcome;
    FileResult expected;
  };
  const Case cases[] = {
      {"open missing", fs.openLines(none).outcome, FileResult::kMissing},
      {"append in a missing folder", fs.append(dir + "no\\x.txt", "x"), FileResult::kMissing},
      {"append to no name", fs.append("", "x"), FileResult::kMissing},
      {"delete missing", fs.removeFile(none), FileResult::kMissing},
      {"move missing", fs.moveFile(none, other), FileResult::kMissing},
      {"copy missing", fs.copyNew(none, other).outcome, FileResult::kMissing},
      {"enter missing", fs.changeFolder(dir + "no"), FileResult::kMissing},
      {"open held", fs.openLines(held).outcome, FileResult::kHeld},
      {"append held", fs.append(held, "y"), FileResult::kHeld},
      {"delete held", fs.removeFile(held), FileResult::kHeld},
      {"move held", fs.moveFile(held, other), FileResult::kHeld},
      {"copy onto a held file", fs.copyNew(file, held).outcome, FileResult::kExists},
      {"delete read-only", fs.removeFile(readOnly), FileResult::kDenied},
      {"open a folder as a file", fs.openLines(folder).outcome, FileResult::kDenied},
      {"copy onto a folder", fs.copyNew(file, folder).outcome, FileResult::kExists},
      {"move onto an existing file", fs.moveFile(file, readOnly), FileResult::kExists},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.outcome.result, c.expected) << c.what << ": " << c.outcome.failure;
    EXPECT_FALSE(c.outcome.failure.empty()) << c.what;
  }
  EXPECT_EQ(fs.fileExists(held), true);  // nothing above moved or removed a file
  EXPECT_EQ(fs.fileExists(file), true);
  EXPECT_EQ(fs.fileExists(other), false);
  holder.reset();
  SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WinFsTest, LinesSurviveTheReadChunkBoundary) {
  const std::string f = dir + "big.txt";
  std::string data;
  for (int i = 0; i < 20000; ++i) data += "line " + std::to_string(i) + "\r\n";
  ASSERT_TRUE(fs.append(f, data).done());
  const auto got = lines(f);
  ASSERT_EQ(got.size(), 20000u);
  EXPECT_EQ(got[12345], "line 12345");
  EXPECT_EQ(got.back(), "line 19999");
}

TEST_F(WinFsTest, CodePage932BothWays) {
  EXPECT_EQ(cp.toAnsi("メモリ"), "\x83\x81\x83\x82\x83\x8a");
  EXPECT_EQ(cp.fromAnsi("\x83\x81\x83\x82\x83\x8a"), "メモリ");
  EXPECT_EQ(cp.toAnsi("a\xF0\x9F\x98\x80z"), "a??z");  // one "?" per UTF-16 unit
  EXPECT_EQ(cp.fromAnsi("\\~"), "\\~");
}

TEST_F(WinFsTest, MalformedCodePage932GivesOneReplacementPerBadByteAndKeepsWhatFollows) {
  EXPECT_EQ(cp.fromAnsi("a\x83"), "a\uFFFD");                 // cut off at the end
  EXPECT_EQ(cp.fromAnsi("\x83,x"), "\uFFFD,x");               // a lead byte before a comma
  EXPECT_EQ(cp.fromAnsi("\x81\x7F \x83\x81"), "\uFFFD\x7F メ");  // no trail byte, then a good one
  EXPECT_EQ(cp.fromAnsi("\xA0"), "\uFFFD");                    // no character at all
}

TEST_F(WinFsTest, ReadOnlyFileIsDeletedOnlyAfterItsAttributesAreCleared) {
  const std::string f = dir + "ro.txt";
  ASSERT_TRUE(fs.append(f, "x").done());
  SetFileAttributesW(Wide(f).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(fs.removeFile(f).result, FileResult::kDenied);
  EXPECT_TRUE(fs.setAttributes(f, 0).done());
  EXPECT_TRUE(fs.removeFile(f).done());
  EXPECT_FALSE(fs.fileExists(f));
}

TEST_F(WinFsTest, SearchListsAFolderAndMatchesABareName) {
  ASSERT_TRUE(fs.createFolder(dir + "sub").done());
  ASSERT_TRUE(fs.append(dir + "file.txt", "").done());
  auto names = fs.search(dir);
  EXPECT_NE(std::find(names.begin(), names.end(), "."), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "sub"), names.end());
  EXPECT_TRUE(fs.isDirectory(dir + "sub\\."));
  EXPECT_TRUE(fs.search(dir + "nothing\\").empty());
  const std::string here = fs.currentFolder();
  ASSERT_TRUE(fs.changeFolder(dir).done());
  EXPECT_EQ(fs.search("sub"), (std::vector<std::string>{"sub"}));
  EXPECT_TRUE(fs.search("nope").empty());
  ASSERT_TRUE(fs.changeFolder(here).done());
}

TEST_F(WinFsTest, TempFilesAreNewEmptyAndNamedFromThePrefix) {
  const std::string a = fs.createTempFile(dir, "WKPX");
  const std::string b = fs.createTempFile(dir, "WKP");
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(dir + "WKP", 0), 0u);
  EXPECT_EQ(a.substr(a.size() - 4), ".tmp");
  EXPECT_EQ(fs.fileLength(a), 0);
  // A folder whose ANSI name is longer than 256 bytes still works.
  std::string deep = dir;
  while (cp.toAnsi(deep).size() < 300) deep += "資産情報\\", static_cast<void>(fs.createFolder(deep));
  const std::string c = fs.createTempFile(deep, "WKP");
  EXPECT_EQ(fs.fileLength(c), 0);
  DeleteFileW(Wide(c).c_str());
  for (; deep.size() > dir.size(); deep = deep.substr(0, deep.rfind('\\', deep.size() - 2) + 1)) {
    RemoveDirectoryW(Wide(deep).c_str());
  }
}

TEST_F(WinFsTest, ProgramFolderHoldsTheRunningExe) {
  const std::string folder = fs.programFolder();
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(fs.fileExists(folder + "\\win32_tests.exe"));
}

TEST_F(WinFsTest, ChangeDriveAndFolder) {
  const std::string here = fs.currentFolder();
  ASSERT_TRUE(fs.changeFolder(dir).done());
  EXPECT_EQ(fs.currentFolder() + "\\", dir);
  EXPECT_TRUE(fs.changeDrive("C:\\").done());
  EXPECT_EQ(fs.currentFolder().substr(0, 2), "C:");
  ASSERT_TRUE(fs.changeFolder(here).done());
}

// What the run holds, others may read but not write, rename or delete.
void ExpectHeld(WinFileSystem& fs, const std::string& f) {
  for (const auto& o : {fs.append(f, "reg.bat"), fs.moveFile(f, f + ".x"), fs.removeFile(f)}) {
    EXPECT_EQ(o.result, FileResult::kHeld) << f << ": " << o.failure;
  }
  EXPECT_GT(fs.fileLength(f), 0);
}

// A copy is made new, never into a file there, held by the run while it is
// checked through its own handle, and removed through it when it does not verify.
TEST_F(WinFsTest, CopiesAreMadeNewHeldAndCheckedThroughTheirOwnHandle) {
  const std::string a = dir + "a.csv", b = dir + "b.csv";
  ASSERT_TRUE(fs.append(a, std::string(100000, 'x')).done() && fs.append(b, "earlier").done());
  EXPECT_EQ(fs.copyNew(a, b).outcome.result, FileResult::kExists);
  EXPECT_EQ(lines(b), std::vector<std::string>{"earlier"});
  ASSERT_TRUE(fs.removeFile(b).done());
  auto copy = fs.copyNew(a, b);
  ASSERT_TRUE(copy.done()) << copy.outcome.failure;
  EXPECT_TRUE(copy.value->sameContents(a));
  ExpectHeld(fs, b);
  ASSERT_TRUE(fs.append(a, "y").done());
  EXPECT_FALSE(copy.value->sameContents(a));
  EXPECT_THROW(copy.value->sameContents(dir + "none"), Failure);
  EXPECT_TRUE(copy.value->discard().done());
  copy.value.reset();
  EXPECT_FALSE(fs.fileExists(b));
}

// Made with the user's own descriptor (Wine answers for the access list from
// the Unix mode, so only the owner is read back here) and held: the file
// against change, the folder against renaming, while it still takes new files.
TEST_F(WinFsTest, PrivateFoldersAndFilesHeldAgainstChange) {
  const std::string user = WinSystemInfo().userSid(), folder = dir + "run", file = folder + "\\RegScan.CMD";
  ASSERT_EQ(user.rfind("S-1-5-", 0), 0u) << user;
  const std::string access = "D:P(A;OICI;FA;;;" + user + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  ASSERT_TRUE(fs.createSecuredFolder(folder, "O:" + user + access).done());
  ASSERT_TRUE(fs.writeNewFile(file, "@echo off\r\n", "O:" + user + ReplaceAll(access, "OICI", "")).done());
  {
    auto heldFolder = fs.hold(folder), heldFile = fs.hold(file);
    ASSERT_TRUE(heldFolder.done() && heldFile.done()) << heldFolder.outcome.failure << heldFile.outcome.failure;
    EXPECT_EQ(heldFolder.value->owner() + heldFile.value->owner(), user + user);
    EXPECT_EQ(heldFile.value->contents(), "@echo off\r\n");
    ExpectHeld(fs, file);
    EXPECT_FALSE(MoveFileExW(Wide(folder).c_str(), Wide(dir + "other").c_str(), 0));
    EXPECT_TRUE(fs.append(folder + "\\TH_reg.TxT", "x").done());
    EXPECT_EQ(fs.hold(dir + "none").outcome.result, FileResult::kMissing);
  }
  EXPECT_TRUE(fs.removeFile(file).done());  // let go
}

// cmd starts in the folder given, told not to search it for commands, and
// is waited for even when it exits with 259.
TEST(WinProcesses, CmdRunsInTheFolderGivenAndIsWaitedFor) {
  WinFileSystem fs;
  WinProcesses processes;
  const std::string folder = fs.tempFolder();
  const std::string marker = folder + "th_wait_" + std::to_string(GetCurrentProcessId()) + ".txt";
  processes.start(platform::SystemProgram::kCmd,
                  "cmd /c ping -n 2 127.0.0.1 >nul & cd > \"" + marker +
                      "\" & echo [%NoDefaultCurrentDirectoryInExePath%]>> \"" + marker + "\" & exit 259",
                  platform::kHide, folder)->waitPumping();
  auto reader = fs.openLines(marker).value;
  std::string cd, flag;
  ASSERT_TRUE(reader->next(cd) && reader->next(flag));
  reader.reset();
  EXPECT_EQ(cd + "\\", folder);
  EXPECT_EQ(flag.substr(0, 3), "[1]");  // cmd keeps the blank before "&"
  DeleteFileW(Wide(marker).c_str());
  EXPECT_THROW(processes.start(platform::SystemProgram::kCmd, "cmd /c exit", platform::kHide, folder + "no such\\"),
               Failure);
}

TEST(WinRegistry, ReadsTextValuesOfAtMost256Bytes) {
  WinCodePage cp;
  WinRegistry reg(cp);
  HKEY key;
  // The 64-bit view, the machine's own, which the seam reads also under WOW64.
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TallyhawkTest", 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr), ERROR_SUCCESS);
  const std::wstring fits(255, L'a'), tooLong(256, L'a');
  RegSetValueExW(key, L"fits", 0, REG_SZ, reinterpret_cast<const BYTE*>(fits.c_str()), 512);
  RegSetValueExW(key, L"long", 0, REG_SZ, reinterpret_cast<const BYTE*>(tooLong.c_str()), 514);
  const std::wstring jp = L"  日本語 ";
  RegSetValueExW(key, L"jp", 0, REG_SZ, reinterpret_cast<const BYTE*>(jp.c_str()), (jp.size() + 1) * 2);
  RegCloseKey(key);

  auto k = reg.openLocalMachine("Software\\TallyhawkTest");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->readText("fits"), std::string(255, 'a'));
  EXPECT_EQ(k->readText("long"), std::nullopt);
  EXPECT_EQ(k->readText("jp"), "  日本語 ");
  EXPECT_EQ(k->readText("none"), std::nullopt);
  EXPECT_EQ(reg.openLocalMachine("Software\\NoSuchKeyTallyhawk"), nullptr);
  k.reset();
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TallyhawkTest", KEY_WOW64_64KEY, 0);
}

// The reads that tell why a value is missing: DWORDs, texts of any length,
// a multi-string, a key's subkeys; all in the 64-bit view, also under WOW64.
TEST(WinRegistry, DwordsTextsAndSubkeysWithWhyNot) {
  WinCodePage cp;
  WinRegistry reg(cp);
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TallyhawkFacts\\GE24H2", 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TallyhawkFacts\\CO21H2", 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr), ERROR_SUCCESS);
  const DWORD ubr = 6456;
  RegSetValueExW(key, L"UBR", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&ubr), sizeof ubr);
  const std::wstring longText(1000, L'x'), multi(L"SQ_TpmVersion=2\0SQ_RamMB=8192\0", 31);
  RegSetValueExW(key, L"long", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.c_str()), 2002);
  RegSetValueExW(key, L"multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()), 62);
  RegCloseKey(key);

  auto parent = reg.readLocalMachine("Software\\TallyhawkFacts");
  ASSERT_TRUE(parent.value);
  EXPECT_EQ((*parent.value)->subkeyNames().value, (std::vector<std::string>{"CO21H2", "GE24H2"}));
  auto k = std::move(*reg.readLocalMachine("Software\\TallyhawkFacts\\CO21H2").value);
  EXPECT_EQ(k->readDword("UBR").value, 6456u);
  EXPECT_EQ(k->readString("long").value, std::string(1000, 'x'));
  EXPECT_EQ(k->readString("multi").value, "SQ_TpmVersion=2 SQ_RamMB=8192");
  EXPECT_EQ(k->readDword("long").unread.code, static_cast<std::uint32_t>(ERROR_DATATYPE_MISMATCH));
  EXPECT_EQ(k->readString("UBR").unread.code, static_cast<std::uint32_t>(ERROR_DATATYPE_MISMATCH));
  EXPECT_EQ(k->readDword("none").unread.why, platform::Unread::Why::kUnsupported);
  EXPECT_EQ(k->subkeyNames().value, std::vector<std::string>{});
  k.reset();
  EXPECT_EQ(reg.readLocalMachine("Software\\NoSuchKeyTallyhawk").unread.why, platform::Unread::Why::kUnsupported);
  for (const wchar_t* sub : {L"Software\\TallyhawkFacts\\GE24H2", L"Software\\TallyhawkFacts\\CO21H2",
                             L"Software\\TallyhawkFacts"}) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, sub, KEY_WOW64_64KEY, 0);
  }
}

// The machine as it is, also to a 32-bit program under WOW64; each fact
// Wine cannot tell says why.
TEST(WinMachine, TellsTheMachineNotTheProcess) {
  WinMachine machine;
  EXPECT_EQ(machine.architecture().value, "x64");
  SYSTEM_INFO native = {};
  GetNativeSystemInfo(&native);
  EXPECT_EQ(machine.logicalProcessors(), native.dwNumberOfProcessors);
  EXPECT_GE(machine.logicalProcessors(), 1u);
  EXPECT_FALSE(machine.processorFeature(34));  // ARMv8.1 atomics: no x64 has them
  const auto memory = machine.installedMemoryKb();
  MEMORYSTATUSEX visible = {};
  visible.dwLength = sizeof visible;
  GlobalMemoryStatusEx(&visible);
  if (memory.value) {
    EXPECT_GE(*memory.value, visible.ullTotalPhys / 1024 / 2);
  }
  const auto tpm = machine.tpmVersion();
  if (tpm.value) {
    EXPECT_LE(*tpm.value, 2u);
  }
  const auto firmware = machine.firmwareType();
  if (firmware.value) {
    EXPECT_LE(*firmware.value, 3u);
  }
}

}  // namespace
}  // namespace th::win32

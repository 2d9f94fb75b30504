// The collectors over the real Windows platform (run under Wine): a record
// file is written as a run writes it, printed, and its shape checked.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "collect/key_block.h"
#include "collect/record_file.h"
#include "run/collection.h"
#include "run/working_files.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win_platform.h"
#include "support/error_log.h"
#include "support/paths.h"
#include "support/text_file.h"

namespace th::win32 {
namespace {

// The collectors never show anything.
class SilentUi : public platform::Ui {
 public:
  bool claimSingleInstance() override { return true; }
  void messageBox(const std::string&, const std::string&) override {}
  void pumpMessages() override {}
  platform::EntryResult showEntryForm() override { return {}; }
  void showNotice(int) override {}
  void setNoticeProgress(double) override {}
  void closeNotice() override {}
  void showNoticeModal(int) override {}
};

struct Fields {
  std::string group, item, subItem, contents, unit;
};

std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> cells;
  std::size_t from = 0;
  for (auto at = line.find(sep);; at = line.find(sep, from)) {
    cells.push_back(line.substr(from, at == std::string::npos ? at : at - from));
    if (at == std::string::npos) return cells;
    from = at + 1;
  }
}

struct CollectorsUnderWine : ::testing::Test {
  WinServices services;
  WinFileSystem& fs = services.fs;
  SilentUi ui;
  platform::Platform os = services.with(ui);
  RunContext ctx{os};
  bool saveExisted = false;
  WorkingFiles files;  // the run's private folder, where the record file is made

  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    files = ClaimWorkingFiles(ctx);
    saveExisted = fs.folderExists(ResolvePath(os, ".\\SAVE\\"));
    SetLogFile(ctx, fs.tempFolder() + "th_collectors_" + std::to_string(GetCurrentProcessId()) + ".log");
  }
  void TearDown() override {
    DeleteFiles(os, ctx.recordFilePath);
    DeleteWorkingFiles(ctx, files);
    DeleteFiles(os, ctx.log.path);
    if (!saveExisted) RemoveDirectoryW(Wide(ResolvePath(os, ".\\SAVE\\")).c_str());
    CoUninitialize();
  }

  std::vector<std::string> lines(const std::string& path) {
    std::vector<std::string> out;
    if (!fs.fileExists(path)) return out;
    TextReader reader(os, path);
    for (std::string l; reader.next(l);) out.push_back(l);
    return out;
  }
};

// The record file and the scratch files are made in the run's own folder,
// which is held, the user's, and open to nobody else (the user, SYSTEM and
// the administrators only). What is made in it takes that on from it on
// Windows; Wine answers for a file from its Unix mode, so only the folder's
// own list is read back there.
TEST_F(CollectorsUnderWine, WorkingFilesAreMadeInTheRunsPrivateFolder) {
  const std::string user = services.system.userSid(), temp = fs.tempFolder();
  ASSERT_EQ(ctx.workingFolder, files.folder);
  EXPECT_EQ(files.folder.rfind(temp + "TH-", 0), 0u) << files.folder;
  EXPECT_FALSE(MoveFileExW(Wide(files.folder).c_str(), Wide(temp + "th moved").c_str(), 0));  // held
  const std::string made = MakeTempFile(ctx, "WKP");
  EXPECT_EQ(FolderPart(made), files.folder);
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  for (const std::string& path : {files.folder, made}) {
    if (wine && path == made) continue;
    auto held = fs.hold(path);
    ASSERT_TRUE(held.done()) << held.outcome.failure;
    const std::string access = held.value->access();
    EXPECT_FALSE(OpenToOthers(access, user)) << path << " " << access;
    EXPECT_EQ(held.value->owner(), user) << path;
  }
  DeleteFiles(os, made);
}

TEST_F(CollectorsUnderWine, ARunsRecordsHaveTheirShape) {
  ctx.rec.Key = "abc-05-0012";
  ASSERT_TRUE(GetKey(ctx));
  ASSERT_FALSE(ctx.recordFilePath.empty());
  CollectMachineFacts(ctx);

  const auto records = lines(ctx.recordFilePath);
  std::printf("--- record file %s\n", ctx.recordFilePath.c_str());
  for (const auto& l : records) std::printf("%s\n", l.c_str());
  std::printf("--- Error.Log\n");
  for (const auto& l : lines(ctx.log.path)) std::printf("%s\n", l.c_str());

  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records[0], "Key,Group,Item,SubItem,Contents,Unit,Renewalday");
  std::vector<Fields> found;
  for (std::size_t i = 1; i < records.size(); ++i) {
    const auto cells = Split(records[i], ',');
    ASSERT_EQ(cells.size(), 7u) << records[i];
    EXPECT_EQ(cells[0], "abc-05-0012");
    EXPECT_EQ(cells[6], ctx.rec.Renewalday);
    found.push_back({cells[1], cells[2], cells[3], cells[4], cells[5]});
  }
  auto count = [&](const std::string& group, const std::string& item, const std::string& subItem) {
    return std::count_if(found.begin(), found.end(), [&](const Fields& f) {
      return f.group == group && f.item == item && f.subItem == subItem;
    });
  };
  auto contents = [&](const std::string& group, const std::string& item, const std::string& subItem) {
    for (const auto& f : found) {
      if (f.group == group && f.item == item && f.subItem == subItem) return f.contents;
    }
    return std::string("<none>");
  };

  EXPECT_EQ(found.front().group, "Create");
  EXPECT_EQ(count("Hard", "CPU", "NameString"), 1);
  EXPECT_FALSE(contents("Hard", "CPU", "NameString").empty());
  EXPECT_EQ(contents("Soft", "OS", "Version").rfind("Microsoft Windows", 0), 0u);
  EXPECT_EQ(count("Soft", "OS", "Version"), 1);  // from WMI; the registry's is not needed
  EXPECT_EQ(count("LAN", "LAN", "コンピュータ名"), 1);
  EXPECT_EQ(contents("Hard", "SystemHDD", "Drive"), "C:");
  EXPECT_EQ(count("Hard", "SystemHDD", "全容量"), 1);
  EXPECT_EQ(count("Hard", "Hard Disk", "合計量"), 1);
  EXPECT_EQ(count("WMI", "MotherBoard", "Device_ID"), 1);
  EXPECT_EQ(count("Hard", "画面", "解像度"), 1);
  for (const auto& f : found) {
    if (f.subItem == "MACアドレス") {
      EXPECT_EQ(f.contents.find(':'), std::string::npos) << f.contents;
      EXPECT_EQ(f.contents.size(), 17u) << f.contents;
    }
  }
  EXPECT_GE(count("LAN", "Adapter", "MACアドレス"), 1);
}

}  // namespace
}  // namespace th::win32

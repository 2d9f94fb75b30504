#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/failure.h"
#include "support/paths.h"
#include "support/text.h"

namespace th {
namespace {

TEST(ResolvePath, AnchorsAtTheProgramFolder) {
  const std::string home = "C:\\Tools\\Inv";
  EXPECT_EQ(ResolvePath(".\\Error.Log", home), "C:\\Tools\\Inv\\Error.Log");
  EXPECT_EQ(ResolvePath(".\\SAVE\\RegScan.CMD", home), "C:\\Tools\\Inv\\SAVE\\RegScan.CMD");
  EXPECT_EQ(ResolvePath("..\\x.txt", home), "C:\\Tools\\x.txt");
  EXPECT_EQ(ResolvePath(".", home), "C:\\Tools\\Inv\\");
  EXPECT_EQ(ResolvePath("..", home), "C:\\Tools\\");
  EXPECT_EQ(ResolvePath("C:\\Temp\\a.txt", home), "C:\\Temp\\a.txt");
  EXPECT_EQ(ResolvePath("\\\\server\\share\\a.txt", home), "\\\\server\\share\\a.txt");
  EXPECT_EQ(ResolvePath("x.txt", home), "\\x.txt");
  EXPECT_EQ(ResolvePath("a\\.\\b\\..\\c.txt", home), "a\\c.txt");
  EXPECT_EQ(ResolvePath(".\\SAVE\\", home), "C:\\Tools\\Inv\\SAVE\\");
}

TEST(ResolvePath, ClimbsNoHigherThanTheDrive) {
  EXPECT_EQ(ResolvePath("..\\..\\..\\..\\x.txt", "C:\\Tools\\Inv"), "C:\\x.txt");
  EXPECT_EQ(ResolvePath(".\\a\\..\\..\\b.txt", "C:\\Tools\\Inv"), "C:\\Tools\\b.txt");
  EXPECT_EQ(ResolvePath(".\\Error.Log", "D:\\"), "D:\\Error.Log");
  EXPECT_EQ(ResolvePath("x\\a<>b\\c", "C:\\T"), "x\\b\\c");  // "<>" comes back as "..\"
}

TEST(ResolvePath, DoesNotDependOnTheCurrentFolder) {
  test::FakePlatform p;
  p.fs.current = "D:\\Elsewhere";
  EXPECT_EQ(ResolvePath(p.os, ".\\SAVE\\RegScan.CMD"), "C:\\Tools\\Inv\\SAVE\\RegScan.CMD");
}

TEST(PathParts, SplitAndSeparator) {
  EXPECT_EQ(FolderPart("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(FolderPart("x.txt"), "");
  EXPECT_EQ(FileNamePart("C:\\Work\\"), "");
  EXPECT_EQ(FileNamePart("x.txt"), "x.txt");
  EXPECT_EQ(FileNamePart("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(AddPathSep("C:\\"), "C:\\");
  EXPECT_EQ(AddPathSep(""), "\\");
  EXPECT_EQ(AddPathSep("C:\\a"), "C:\\a\\");
}

TEST(ReplaceAll, RescansFromTheStartAfterEachChange) {
  EXPECT_EQ(RemoveAll("aabb", "ab"), "");
  EXPECT_EQ(RemoveAll(".\\SAVE\\TH_reg.TxT", "SAVE\\"), ".\\TH_reg.TxT");
  EXPECT_EQ(ReplaceAll("a..\\..\\b", "..\\", "<>"), "a<><>b");
  EXPECT_EQ(ReplaceAll("x", "", "y"), "x");
  EXPECT_EQ(RemoveAll("save\\SAVE\\", "SAVE\\"), "save\\");  // case-sensitive
}

TEST(ReplaceAll, TextsBeyondThe16BitRangeOverflow) {
  EXPECT_THROW(RemoveAll(std::string(32768, 'a'), "b"), Failure);
  EXPECT_NO_THROW(RemoveAll(std::string(32767, 'a'), "b"));
  // Counted in characters, not bytes: 20,000 kana are 60,000 bytes.
  std::string kana;
  for (int i = 0; i < 20000; ++i) kana += "あ";
  EXPECT_NO_THROW(RemoveAll(kana, "b"));
  EXPECT_THROW(ResolvePath(std::string(40000, 'a') + "\\x", "C:\\T"), Failure);
}

struct FileHelpersTest : ::testing::Test {
  test::FakePlatform p;
};

TEST_F(FileHelpersTest, DeleteFilesRemovesReadOnlyFilesAndIgnoresMissingAndHeldOnes) {
  p.fs.addFile("C:\\Tools\\Inv\\SAVE\\Runas.CMD", "x");
  p.fs.attributes["C:\\Tools\\Inv\\SAVE\\Runas.CMD"] = 1;
  DeleteFiles(p.os, "C:\\Tools\\Inv\\SAVE\\Runas.CMD");
  EXPECT_FALSE(p.fs.hasFile("C:\\Tools\\Inv\\SAVE\\Runas.CMD"));
  p.fs.addFile("C:\\Tools\\Inv\\SAVE\\held.txt", "x");
  p.fs.refused[p.fs.full("C:\\Tools\\Inv\\SAVE\\held.txt")] = platform::FileResult::kHeld;
  const auto before = p.fs.files;
  DeleteFiles(p.os, "C:\\Tools\\Inv\\SAVE\\held.txt");
  DeleteFiles(p.os, "C:\\Tools\\Inv\\SAVE\\missing.txt");
  DeleteFiles(p.os, "");
  DeleteFiles(p.os, "Z:\\no\\such\\folder\\x");
  EXPECT_EQ(p.fs.files, before);
}

TEST_F(FileHelpersTest, DeleteFilesResolvesRelativePathsAtTheProgramFolder) {
  p.fs.addFile("C:\\Tools\\Inv\\a.txt", "x");
  p.fs.addFile("C:\\Work\\a.txt", "x");
  DeleteFiles(p.os, ".\\a.txt");
  EXPECT_FALSE(p.fs.hasFile("C:\\Tools\\Inv\\a.txt"));
  EXPECT_TRUE(p.fs.hasFile("C:\\Work\\a.txt"));
}

TEST_F(FileHelpersTest, FileLength) {
  p.fs.addFile("C:\\a.txt", "12345");
  p.fs.addFile("C:\\empty.txt", "");
  EXPECT_EQ(FileLength(p.os, "C:\\a.txt"), 5);
  EXPECT_EQ(FileLength(p.os, "C:\\empty.txt"), 0);
  EXPECT_EQ(FileLength(p.os, "C:\\missing.txt"), -1);
}

TEST_F(FileHelpersTest, FolderMissing) {
  p.fs.addFolder("C:\\Work\\sub");
  p.fs.addFile("C:\\Work\\file", "");
  EXPECT_FALSE(FolderMissing(p.os, "C:\\Work\\sub\\"));
  EXPECT_TRUE(FolderMissing(p.os, "C:\\Work\\nope\\"));
  EXPECT_FALSE(FolderMissing(p.os, "sub"));     // bare name in the current folder
  EXPECT_TRUE(FolderMissing(p.os, "C:\\"));      // a drive root has no "." entry
  EXPECT_TRUE(FolderMissing(p.os, "C:\\Work\\sub"));  // no trailing "\"
}

TEST_F(FileHelpersTest, ChangeToFolderWalksPieceByPieceSkippingMissingOnes) {
  p.fs.addFolder("D:\\a\\c");
  p.fs.log.clear();
  ChangeToFolder(p.os, "D:\\a\\b\\c\\file.txt");
  EXPECT_EQ(p.fs.current, "D:\\a\\c");
  ChangeToFolder(p.os, ".\\");
  EXPECT_EQ(p.fs.current, "C:\\Tools\\Inv");
}

}  // namespace
}  // namespace th

#pragma once
#include "platform/filesystem.h"

namespace th::win32 {

class WinFileSystem : public platform::FileSystem {
 public:
  void append(const std::string& path, std::string_view bytes) override;
  std::unique_ptr<platform::LineReader> openLines(const std::string& path) override;
  std::int64_t fileLength(const std::string& path) override;
  bool fileExists(const std::string& path) override;
  bool folderExists(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  void setAttributes(const std::string& path, std::uint32_t attributes) override;
  void removeFile(const std::string& path) override;
  void createFolder(const std::string& path) override;
  platform::CreateOutcome createNewFolder(const std::string& path) override;
  platform::CreateOutcome writeNewFile(const std::string& path, std::string_view bytes) override;
  void removeFolder(const std::string& path) override;
  void moveFile(const std::string& from, const std::string& to) override;
  std::vector<std::string> search(const std::string& pattern) override;
  std::string currentFolder() override;
  void changeDrive(const std::string& drive) override;
  void changeFolder(const std::string& path) override;
  std::string tempFolder() override;
  std::string createTempFile(const std::string& folder, const std::string& prefix) override;
  std::string programFolder() override;
  std::string desktopFolder() override;
  void copyFile(const std::string& from, const std::string& to) override;
  bool sameContents(const std::string& a, const std::string& b) override;
};

}  // namespace th::win32

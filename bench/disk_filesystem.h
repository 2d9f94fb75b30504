#pragma once
// A FileSystem on real files for the benchmarks. Windows paths map onto a
// root folder ("C:\a\b" -> <root>/C/a/b) so the core runs with the paths it
// sees on Windows, while files stream from disk: the in-memory test double
// would hide what the reader itself holds in memory.
#include <string>

#include "platform/filesystem.h"

namespace th::bench {

class DiskFileSystem : public platform::FileSystem {
 public:
  // programFolder: a Windows path such as "C:\bench".
  DiskFileSystem(std::string root, std::string programFolder);

  // The host path of a Windows path; throws Failure for one without a drive.
  std::string hostPath(const std::string& windowsPath) const;

  platform::FileOutcome append(const std::string& path, std::string_view bytes) override;
  platform::FileValue<std::unique_ptr<platform::LineReader>> openLines(const std::string& path) override;
  std::int64_t fileLength(const std::string& path) override;
  bool fileExists(const std::string& path) override;
  bool folderExists(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  platform::FileOutcome setAttributes(const std::string& path, std::uint32_t attributes) override;
  platform::FileOutcome removeFile(const std::string& path) override;
  platform::FileOutcome createFolder(const std::string& path) override;
  platform::FileOutcome removeFolder(const std::string& path) override;
  platform::FileOutcome createSecuredFolder(const std::string& path, const std::string& securityDescriptor) override;
  platform::FileOutcome writeNewFile(const std::string& path, std::string_view bytes,
                                     const std::string& securityDescriptor) override;
  platform::FileValue<std::unique_ptr<platform::Hold>> hold(const std::string& path) override;
  platform::FileOutcome moveFile(const std::string& from, const std::string& to) override;
  platform::FileOutcome replaceFile(const std::string& from, const std::string& to) override;
  std::vector<std::string> search(const std::string& pattern) override;
  std::string currentFolder() override;
  platform::FileOutcome changeDrive(const std::string& drive) override;
  platform::FileOutcome changeFolder(const std::string& path) override;
  std::string tempFolder() override;
  std::string createTempFile(const std::string& folder, const std::string& prefix) override;
  std::string programFolder() override;
  std::string desktopFolder() override;
  platform::FileValue<std::unique_ptr<platform::NewCopy>> copyNew(const std::string& from,
                                                                  const std::string& to) override;

 private:
  std::string root_;
  std::string program_;
  int tempCounter_ = 0;
};

}  // namespace th::bench

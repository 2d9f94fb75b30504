#pragma once
// File-system seam. Paths are Windows paths held as UTF-8; file contents are
// raw bytes (the core converts text at this boundary through CodePage).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace th::platform {

// Reads a file line by line without holding it whole in memory.
class LineReader {
 public:
  virtual ~LineReader() = default;
  // Next line's bytes without its end (CR LF, LF or CR). False at the end of
  // the file; throws Failure when the read fails.
  virtual bool next(std::string& line) = 0;
};

// Creating something that must not exist yet: that it does is an ordinary
// outcome, as is a refusal, told apart by value.
enum class Creation { kCreated, kExists, kFailed };
struct CreateOutcome {
  Creation result;
  std::string failure;  // the platform's description when kFailed
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Appends bytes, creating the file when missing. Throws Failure when the
  // file cannot be opened; the file is closed again before returning.
  virtual void append(const std::string& path, std::string_view bytes) = 0;
  // Opens a file for reading line by line; throws Failure when it cannot.
  virtual std::unique_ptr<LineReader> openLines(const std::string& path) = 0;
  // Size in bytes, or -1 when the file cannot be found or read.
  virtual std::int64_t fileLength(const std::string& path) = 0;
  virtual bool fileExists(const std::string& path) = 0;
  virtual bool folderExists(const std::string& path) = 0;
  virtual bool isDirectory(const std::string& path) = 0;
  // These throw Failure on failure.
  virtual void setAttributes(const std::string& path, std::uint32_t attributes) = 0;
  virtual void removeFile(const std::string& path) = 0;
  virtual void createFolder(const std::string& path) = 0;
  // Creates a folder that must be new; never takes over an existing one.
  virtual CreateOutcome createNewFolder(const std::string& path) = 0;
  // Creates a file that must be new and writes the bytes in one write; a
  // file it created but could not fill is removed again.
  virtual CreateOutcome writeNewFile(const std::string& path, std::string_view bytes) = 0;
  // Removes a folder that is empty; throws Failure otherwise.
  virtual void removeFolder(const std::string& path) = 0;
  // Renames a file within its volume; never replaces an existing file
  // (throws Failure then, as on any failure).
  virtual void moveFile(const std::string& from, const std::string& to) = 0;
  // Directory search: a pattern ending in "\" lists that folder's entries
  // (with "." and ".." where the platform gives them); any other pattern
  // returns the names that match it. Folders included. Empty when nothing
  // matches; throws Failure on a bad pattern.
  virtual std::vector<std::string> search(const std::string& pattern) = 0;

  virtual std::string currentFolder() = 0;
  virtual void changeDrive(const std::string& drive) = 0;
  virtual void changeFolder(const std::string& path) = 0;

  // The user's temporary folder (ending in "\") and a new empty uniquely
  // named file in a folder; both throw Failure when the platform refuses.
  virtual std::string tempFolder() = 0;
  virtual std::string createTempFile(const std::string& folder, const std::string& prefix) = 0;
  // Folder of the running executable: no trailing "\" except a drive root.
  virtual std::string programFolder() = 0;
  virtual std::string desktopFolder() = 0;

  // Copies a file, replacing the destination; throws Failure when it cannot.
  virtual void copyFile(const std::string& from, const std::string& to) = 0;
  // True when both files hold the same bytes; throws Failure when either
  // cannot be read.
  virtual bool sameContents(const std::string& a, const std::string& b) = 0;
};

}  // namespace th::platform

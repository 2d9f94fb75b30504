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

// How a call on a file or folder ended, where its not going through is part
// of ordinary life: callers branch on the value. Failures nobody expects (a
// bad pattern, no temporary folder) are thrown as Failure instead.
enum class FileResult {
  kDone,     // created, opened, written, deleted, moved or copied
  kExists,   // what was to be made new is there already (never taken over)
  kMissing,  // the file, or a folder on its path, is not there
  kHeld,     // another program holds it open: a moment later it may go through
  kDenied,   // no right to it, or it is read-only
  kFailed,   // anything else: a full drive, a bad name, a device error
};

struct [[nodiscard]] FileOutcome {
  FileResult result = FileResult::kDone;
  std::string failure;  // the platform's description, for every result but kDone

  bool done() const { return result == FileResult::kDone; }
};

// A call's value, or the outcome that kept it from one.
template <class T>
struct [[nodiscard]] FileValue {
  FileOutcome outcome;
  T value{};

  bool done() const { return outcome.done(); }
};

// A file or folder the run holds open. While it is held, other programs may
// read it (and make files in a folder) but neither write, rename nor delete it.
class Hold {
 public:
  virtual ~Hold() = default;  // lets go
  // The owner's SID as text ("S-1-5-21-..."), read through the hold; throws
  // Failure when it cannot be read.
  virtual std::string owner() = 0;
  // A file's bytes, read through the hold from its start; throws Failure.
  virtual std::string contents() = 0;
  // Its access list as SDDL ("D:P(A;OICI;FA;;;SY)..."), read through the
  // hold; throws Failure when it cannot be read. A volume that keeps no
  // access lists (FAT, exFAT) gives kNoAccessList.
  virtual std::string access() = 0;
};

// What Hold::access gives on a volume that keeps no access lists.
inline constexpr const char* kNoAccessList = "";

// A copy the run has just created and still holds open for itself: other
// programs may read it but not write, rename or delete it, so what is
// checked through it is the file the run made.
class NewCopy {
 public:
  virtual ~NewCopy() = default;  // closes it (unless close() did); the file stays
  // Writes what the system still keeps in memory to the disk or server, so a
  // full disk or quota shows here rather than after the run.
  virtual FileOutcome flush() = 0;
  // True when it holds the same bytes as `source`, read back through it;
  // throws Failure when either cannot be read.
  virtual bool sameContents(const std::string& source) = 0;
  // Deletes it: a copy that was not verified must not pass for a report.
  virtual FileOutcome discard() = 0;
  // Closes it, with the outcome the system gives (a write it held back may
  // fail only now); nothing else may be called afterwards.
  virtual FileOutcome close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Appends bytes in one write, creating the file when missing; the file is
  // closed again before returning.
  virtual FileOutcome append(const std::string& path, std::string_view bytes) = 0;
  // Opens a file for reading line by line.
  virtual FileValue<std::unique_ptr<LineReader>> openLines(const std::string& path) = 0;
  // Size in bytes, or -1 when the file cannot be found or read.
  virtual std::int64_t fileLength(const std::string& path) = 0;
  virtual bool fileExists(const std::string& path) = 0;
  virtual bool folderExists(const std::string& path) = 0;
  virtual bool isDirectory(const std::string& path) = 0;
  virtual FileOutcome setAttributes(const std::string& path, std::uint32_t attributes) = 0;
  virtual FileOutcome removeFile(const std::string& path) = 0;
  // Creates a folder; one that exists already gives kExists and is never
  // taken for one this call made.
  virtual FileOutcome createFolder(const std::string& path) = 0;
  // The same, with the security descriptor given (SDDL) in place of what the
  // parent folder would pass on.
  virtual FileOutcome createSecuredFolder(const std::string& path, const std::string& securityDescriptor) = 0;
  // Creates a file that must be new and writes the bytes in one write; a
  // file it created but could not fill is removed again. A security
  // descriptor (SDDL), when not empty, replaces what the folder passes on.
  virtual FileOutcome writeNewFile(const std::string& path, std::string_view bytes,
                                   const std::string& securityDescriptor) = 0;
  // Opens a file or folder and holds it (see Hold). A reparse point (a
  // link or junction someone put in its place) is not followed: kDenied.
  virtual FileValue<std::unique_ptr<Hold>> hold(const std::string& path) = 0;
  // Removes a folder that is empty (kFailed when it is not).
  virtual FileOutcome removeFolder(const std::string& path) = 0;
  // Renames a file within its volume; never replaces an existing file.
  virtual FileOutcome moveFile(const std::string& from, const std::string& to) = 0;
  // Renames a file within its volume in one step, replacing the file that
  // stands at `to` (never a folder): only that name changes, so another name
  // of the replaced file (a hard link) keeps its bytes. Written through.
  virtual FileOutcome replaceFile(const std::string& from, const std::string& to) = 0;
  // Directory search: a pattern ending in "\" lists that folder's entries
  // (with "." and ".." where the platform gives them); any other pattern
  // returns the names that match it. Folders included. Empty when nothing
  // matches; throws Failure on a bad pattern.
  virtual std::vector<std::string> search(const std::string& pattern) = 0;

  virtual std::string currentFolder() = 0;
  virtual FileOutcome changeDrive(const std::string& drive) = 0;
  virtual FileOutcome changeFolder(const std::string& path) = 0;

  // The user's temporary folder (ending in "\") and a new empty uniquely
  // named file in a folder; both throw Failure when the platform refuses.
  virtual std::string tempFolder() = 0;
  virtual std::string createTempFile(const std::string& folder, const std::string& prefix) = 0;
  // Folder of the running executable: no trailing "\" except a drive root.
  virtual std::string programFolder() = 0;
  virtual std::string desktopFolder() = 0;

  // Creates `to` new and copies `from`'s bytes into it. Whatever stands at
  // `to` already (a file of anyone's, a folder) gives kExists and is never
  // opened; a copy cut short is deleted again.
  virtual FileValue<std::unique_ptr<NewCopy>> copyNew(const std::string& from, const std::string& to) = 0;
};

}  // namespace th::platform

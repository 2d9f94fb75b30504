#include "disk_filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/chunked_line_reader.h"
#include "platform/failure.h"

namespace th::bench {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) { throw Failure(what + ": " + std::strerror(errno)); }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

class FileLines : public platform::ChunkedLineReader {
 public:
  explicit FileLines(int fd) : fd_(fd) {}

 protected:
  std::size_t read(char* buffer, std::size_t size) override {
    ssize_t got;
    do {
      got = ::read(fd_.get(), buffer, size);
    } while (got < 0 && errno == EINTR);
    if (got < 0) ThrowErrno("read");
    return static_cast<std::size_t>(got);
  }

 private:
  Fd fd_;
};

bool StatOf(const std::string& host, struct stat& st) { return ::stat(host.c_str(), &st) == 0; }

// The ordinary outcome an errno value stands for, with its description.
platform::FileOutcome Outcome(int error) {
  using platform::FileResult;
  switch (error) {
    case EEXIST: return {FileResult::kExists, std::strerror(error)};
    case ENOENT:
    case ENOTDIR: return {FileResult::kMissing, std::strerror(error)};
    case EBUSY:
    case ETXTBSY: return {FileResult::kHeld, std::strerror(error)};
    case EACCES:
    case EPERM:
    case EROFS: return {FileResult::kDenied, std::strerror(error)};
    default: return {FileResult::kFailed, std::strerror(error)};
  }
}

platform::FileOutcome Checked(int result) { return result == 0 ? platform::FileOutcome{} : Outcome(errno); }

// Writes all the bytes; the failure's outcome when a write fails.
platform::FileOutcome WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Outcome(errno);
    done += static_cast<std::size_t>(n);
  }
  return {};
}

}  // namespace

DiskFileSystem::DiskFileSystem(std::string root, std::string programFolder)
    : root_(std::move(root)), program_(std::move(programFolder)) {}

std::string DiskFileSystem::hostPath(const std::string& windowsPath) const {
  if (windowsPath.size() < 2 || windowsPath[1] != ':') throw Failure("no drive in " + windowsPath);
  std::string host = root_ + "/" + windowsPath[0];
  for (std::size_t i = 2; i < windowsPath.size(); ++i) host += windowsPath[i] == '\\' ? '/' : windowsPath[i];
  return host;
}

platform::FileOutcome DiskFileSystem::append(const std::string& path, std::string_view bytes) {
  // Opened, written and closed per call, as on Windows: that cost is part of
  // what a record costs.
  Fd fd(::open(hostPath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  if (fd.get() < 0) return Outcome(errno);
  return WriteAll(fd.get(), bytes);
}

platform::FileValue<std::unique_ptr<platform::LineReader>> DiskFileSystem::openLines(const std::string& path) {
  const int fd = ::open(hostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {Outcome(errno), nullptr};
  return {{}, std::make_unique<FileLines>(fd)};
}

std::int64_t DiskFileSystem::fileLength(const std::string& path) {
  struct stat st {};
  if (!StatOf(hostPath(path), st) || S_ISDIR(st.st_mode)) return -1;
  return st.st_size;
}

bool DiskFileSystem::fileExists(const std::string& path) {
  struct stat st {};
  return StatOf(hostPath(path), st) && !S_ISDIR(st.st_mode);
}

bool DiskFileSystem::folderExists(const std::string& path) { return isDirectory(path); }

bool DiskFileSystem::isDirectory(const std::string& path) {
  struct stat st {};
  return StatOf(hostPath(path), st) && S_ISDIR(st.st_mode);
}

platform::FileOutcome DiskFileSystem::setAttributes(const std::string& path, std::uint32_t) {
  if (!fileExists(path) && !isDirectory(path)) return Outcome(ENOENT);
  return {};
}

platform::FileOutcome DiskFileSystem::removeFile(const std::string& path) {
  return Checked(::unlink(hostPath(path).c_str()));
}

platform::FileOutcome DiskFileSystem::createFolder(const std::string& path) {
  return Checked(::mkdir(hostPath(path).c_str(), 0700));
}

platform::FileOutcome DiskFileSystem::createSecuredFolder(const std::string& path, const std::string&) {
  return createFolder(path);  // 0700: the user's alone
}

platform::FileOutcome DiskFileSystem::writeNewFile(const std::string& path, std::string_view bytes,
                                                   const std::string&) {
  const std::string host = hostPath(path);
  Fd fd(::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (fd.get() < 0) return Outcome(errno);
  platform::FileOutcome written = WriteAll(fd.get(), bytes);
  if (!written.done()) ::unlink(host.c_str());
  return written;
}

platform::FileOutcome DiskFileSystem::removeFolder(const std::string& path) {
  return Checked(::rmdir(hostPath(path).c_str()));
}

platform::FileOutcome DiskFileSystem::moveFile(const std::string& from, const std::string& to) {
  // link + unlink: a rename that never replaces, as on Windows.
  if (::link(hostPath(from).c_str(), hostPath(to).c_str()) != 0) return Outcome(errno);
  return Checked(::unlink(hostPath(from).c_str()));
}

platform::FileOutcome DiskFileSystem::replaceFile(const std::string& from, const std::string& to) {
  return Checked(::rename(hostPath(from).c_str(), hostPath(to).c_str()));
}

std::vector<std::string> DiskFileSystem::search(const std::string& pattern) {
  std::vector<std::string> names;
  if (!pattern.empty() && pattern.back() == '\\') {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(hostPath(pattern).c_str()), ::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
    return names;
  }
  if (pattern.find_first_of("*?") != std::string::npos) throw Failure("wildcards are not supported here");
  if (fileExists(pattern) || isDirectory(pattern)) names.push_back(pattern.substr(pattern.rfind('\\') + 1));
  return names;
}

std::string DiskFileSystem::currentFolder() { return program_; }
platform::FileOutcome DiskFileSystem::changeDrive(const std::string&) { return {}; }
platform::FileOutcome DiskFileSystem::changeFolder(const std::string&) { return {}; }

std::string DiskFileSystem::tempFolder() { return program_ + "\\"; }

std::string DiskFileSystem::createTempFile(const std::string& folder, const std::string& prefix) {
  const std::string path = folder + prefix + std::to_string(++tempCounter_) + ".tmp";
  const platform::FileOutcome made = append(path, "");
  if (!made.done()) throw Failure(made.failure);
  return path;
}

std::string DiskFileSystem::programFolder() { return program_; }
std::string DiskFileSystem::desktopFolder() { return program_; }

platform::FileValue<std::unique_ptr<platform::Hold>> DiskFileSystem::hold(const std::string&) {
  throw Failure("not used by the benchmarks");
}
platform::FileValue<std::unique_ptr<platform::NewCopy>> DiskFileSystem::copyNew(const std::string&,
                                                                                 const std::string&) {
  throw Failure("not used by the benchmarks");
}

}  // namespace th::bench

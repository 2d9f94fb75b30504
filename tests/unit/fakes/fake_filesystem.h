#pragma once
// An in-memory Windows file system for unit tests, with fault injection.
#include <algorithm>
#include <functional>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "platform/chunked_line_reader.h"
#include "platform/failure.h"
#include "platform/filesystem.h"

namespace th::test {

struct RunawayReader {};

// The SID of the user the fake platform runs as.
inline const std::string kUserSid = "S-1-5-21-1-2-3-1001";

class FakeFileSystem : public platform::FileSystem {
 public:
  std::map<std::string, std::string> files;  // full path -> bytes
  std::set<std::string> folders{"C:"};       // full paths without trailing "\"
  std::map<std::string, std::uint32_t> attributes;
  std::set<std::string> unwritable;          // append to these fails
  std::set<std::string> cutOff;              // appends to these write half, then fail (a full drive)
  std::map<std::string, int> busyAppends;    // the next N appends to these find the file held
  std::set<std::string> unreadable;          // opening these fails
  std::set<std::string> unopenable;          // these have a length but cannot be opened
  // Every open, delete, move (from or to) or copy (from or to) of these ends
  // so: another program holds them, or the user has no right to them.
  std::map<std::string, platform::FileResult> refused;
  std::map<std::string, int> readFailsAfter; // reading fails after this many lines
  int linesRead = 0;                         // read attempts over all readers (loop guard in tests)
  std::string current = "C:\\Work";
  std::string program = "C:\\Tools\\Inv";
  std::string desktop = "C:\\Users\\user\\Desktop";
  std::string temp = "C:\\Users\\user\\AppData\\Local\\Temp\\";
  int tempCounter = 0x1A2B;
  bool failTempFile = false;
  int copyFailures = 0;  // the next N copies find the destination held
  bool copiesCutOff = false;  // copies fail halfway (a full drive) and are removed again, as the system's are
  std::vector<std::string> log;  // createFolder / removeFile / changeFolder calls, in order
  std::function<void(const std::string& from)> beforeMove;  // acts out another program's doing meanwhile
  std::map<std::string, std::string> securityDescriptors;  // full path -> the SDDL it was made with
  std::map<std::string, std::string> owners;  // full path -> owner SID, where it is not kUserSid
  // full path -> its access list as SDDL, where it is not the one it was made with
  std::map<std::string, std::string> accessLists;
  // Targets a replacing rename is refused for, and how (a file open in a viewer that shares
  // deleting may be renamed but not replaced: kDenied).
  std::map<std::string, platform::FileResult> replaceRefused;
  // Steps of the run's new copies that fail ("flush", "close"); a failed close leaves the file.
  std::map<std::string, platform::FileResult> failingCopySteps;
  // Full paths held open (with how many holds): writing, renaming and
  // deleting them is refused as held, as the system's share modes refuse it.
  std::map<std::string, int> held;

  FakeFileSystem() {
    addFolder(program);
    addFolder(current);
    addFolder(temp);
  }

  // Full path: drive-absolute and UNC paths as they are, others under current.
  std::string full(const std::string& p) const {
    std::string r;
    if (p.size() >= 2 && p[1] == ':') r = p;
    else if (p.rfind("\\\\", 0) == 0) r = p;
    else if (!p.empty() && p[0] == '\\') r = current.substr(0, 2) + p;
    else r = current + "\\" + p;
    // "." components name the folder they stand in, as on Windows.
    for (auto at = r.find("\\.\\"); at != std::string::npos; at = r.find("\\.\\")) r.erase(at, 2);
    if (r.size() > 2 && r.compare(r.size() - 2, 2, "\\.") == 0) r.resize(r.size() - 2);
    while (r.size() > 3 && r.back() == '\\') r.pop_back();
    if (r.size() == 3 && r[1] == ':' && r[2] == '\\') r.pop_back();
    return r;
  }
  static std::string parent(const std::string& p) {
    const auto at = p.rfind('\\');
    return at == std::string::npos ? std::string() : p.substr(0, at);
  }
  void addFolder(const std::string& p) {
    for (std::string f = full(p); !f.empty(); f = parent(f)) folders.insert(f);
  }
  void addFile(const std::string& p, const std::string& bytes) {
    addFolder(parent(full(p)));
    files[full(p)] = bytes;
  }
  bool hasFile(const std::string& p) const { return files.count(full(p)) > 0; }
  std::string content(const std::string& p) const {
    auto it = files.find(full(p));
    return it == files.end() ? std::string() : it->second;
  }

  // Each outcome with the description Windows gives it.
  static platform::FileOutcome Outcome(platform::FileResult r) {
    using platform::FileResult;
    switch (r) {
      case FileResult::kDone: return {};
      case FileResult::kExists: return {r, "既に存在します。"};
      case FileResult::kMissing: return {r, "パスが見つかりません。"};
      case FileResult::kHeld: return {r, "別のプロセスが使用中のため、このファイルにアクセスできません。"};
      case FileResult::kDenied: return {r, "アクセスが拒否されました。"};
      case FileResult::kFailed: break;
    }
    return {r, "ディスクに十分な空き領域がありません。"};
  }
  // The refusal planted for any of the paths, if one is.
  std::optional<platform::FileOutcome> refusal(std::initializer_list<std::string> fulls) const {
    for (const auto& f : fulls) {
      if (auto it = refused.find(f); it != refused.end()) return Outcome(it->second);
    }
    return std::nullopt;
  }

  platform::FileOutcome append(const std::string& path, std::string_view bytes) override {
    using platform::FileResult;
    const std::string f = full(path);
    if (path.empty() || unwritable.count(f) || !folders.count(parent(f)) || folders.count(f)) {
      return Outcome(FileResult::kMissing);
    }
    if (auto r = refusal({f})) return *r;
    if (isHeld(f)) return Outcome(FileResult::kHeld);
    if (attributes[f] & 1) return {FileResult::kDenied, "書き込みできません。"};
    if (auto busy = busyAppends.find(f); busy != busyAppends.end() && busy->second > 0) {
      --busy->second;
      return Outcome(FileResult::kHeld);
    }
    if (cutOff.count(f)) {
      files[f].append(bytes.substr(0, bytes.size() / 2));
      return Outcome(FileResult::kFailed);
    }
    files[f].append(bytes);
    return {};
  }

  class Lines : public platform::ChunkedLineReader {
   public:
    Lines(FakeFileSystem& owner, std::string data, int failAfter)
        : owner_(owner), data_(std::move(data)), failAfter_(failAfter) {}
    bool next(std::string& line) override {
      // Not a std::exception, so no failure handler can swallow it and retry forever.
      if (++owner_.linesRead > 1000000) throw RunawayReader{};
      if (failAfter_ >= 0 && read_++ >= failAfter_) throw Failure("デバイスの準備ができていません。");
      return ChunkedLineReader::next(line);
    }

   protected:
    std::size_t read(char* buffer, std::size_t size) override {
      const std::size_t n = std::min(size, data_.size() - pos_);
      data_.copy(buffer, n, pos_);
      pos_ += n;
      return n;
    }

   private:
    FakeFileSystem& owner_;
    std::string data_;
    int failAfter_;
    int read_ = 0;
    std::size_t pos_ = 0;
  };

  platform::FileValue<std::unique_ptr<platform::LineReader>> openLines(const std::string& path) override {
    const std::string f = full(path);
    if (!files.count(f) || unreadable.count(f)) return {{platform::FileResult::kMissing, "ファイルが見つかりません。"}, {}};
    if (unopenable.count(f)) return {Outcome(platform::FileResult::kDenied), {}};
    if (auto r = refusal({f})) return {*r, {}};
    auto fails = readFailsAfter.find(f);
    return {{}, std::make_unique<Lines>(*this, files[f], fails == readFailsAfter.end() ? -1 : fails->second)};
  }
  std::int64_t fileLength(const std::string& path) override {
    const std::string f = full(path);
    if (!files.count(f) || unreadable.count(f)) return -1;
    return static_cast<std::int64_t>(files[f].size());
  }
  bool fileExists(const std::string& path) override { return files.count(full(path)) > 0; }
  bool folderExists(const std::string& path) override { return folders.count(full(path)) > 0; }
  bool isDirectory(const std::string& path) override {
    std::string f = full(path);
    if (f.size() >= 2 && f.substr(f.size() - 2) == "\\.") f = f.substr(0, f.size() - 2);
    return folders.count(f) > 0;
  }
  platform::FileOutcome setAttributes(const std::string& path, std::uint32_t a) override {
    const std::string f = full(path);
    if (!files.count(f) && !folders.count(f)) return {platform::FileResult::kMissing, "ファイルが見つかりません。"};
    attributes[f] = a;
    return {};
  }
  platform::FileOutcome removeFile(const std::string& path) override {
    const std::string f = full(path);
    log.push_back("remove " + f);
    if (!files.count(f)) return {platform::FileResult::kMissing, "ファイルが見つかりません。"};
    if (auto r = refusal({f})) return *r;
    if (isHeld(f)) return Outcome(platform::FileResult::kHeld);
    if (attributes[f] & 1) return Outcome(platform::FileResult::kDenied);
    files.erase(f);
    return {};
  }
  platform::FileOutcome createFolder(const std::string& path) override {
    const std::string f = full(path);
    log.push_back("mkdir " + f);
    if (folders.count(f) || files.count(f)) return Outcome(platform::FileResult::kExists);
    if (!folders.count(parent(f))) return Outcome(platform::FileResult::kMissing);
    folders.insert(f);
    return {};
  }
  platform::FileOutcome createSecuredFolder(const std::string& path, const std::string& sd) override {
    const platform::FileOutcome made = createFolder(path);
    if (made.done()) securityDescriptors[full(path)] = sd;
    return made;
  }
  platform::FileOutcome writeNewFile(const std::string& path, std::string_view bytes, const std::string& sd) override {
    const std::string f = full(path);
    log.push_back("create " + f);
    if (!sd.empty() && !files.count(f) && !folders.count(f)) securityDescriptors[f] = sd;
    if (files.count(f) || folders.count(f)) return Outcome(platform::FileResult::kExists);
    if (unwritable.count(f) || !folders.count(parent(f))) return Outcome(platform::FileResult::kMissing);
    if (cutOff.count(f)) return Outcome(platform::FileResult::kFailed);
    files[f] = bytes;
    return {};
  }
  platform::FileOutcome removeFolder(const std::string& path) override {
    const std::string f = full(path);
    log.push_back("rmdir " + f);
    if (!folders.count(f)) return Outcome(platform::FileResult::kMissing);
    if (isHeld(f)) return Outcome(platform::FileResult::kHeld);
    const platform::FileOutcome notEmpty{platform::FileResult::kFailed, "ディレクトリが空ではありません。"};
    for (const auto& [file, _] : files) if (parent(file) == f) return notEmpty;
    for (const auto& sub : folders) if (parent(sub) == f) return notEmpty;
    folders.erase(f);
    return {};
  }
  platform::FileOutcome moveFile(const std::string& from, const std::string& to) override {
    const std::string f = full(from), t = full(to);
    log.push_back("move " + f + " -> " + t);
    if (beforeMove) beforeMove(f);
    if (!files.count(f)) return {platform::FileResult::kMissing, "ファイルが見つかりません。"};
    if (auto r = refusal({f, t})) return *r;
    if (isHeld(f)) return Outcome(platform::FileResult::kHeld);
    if (files.count(t) || folders.count(t)) return Outcome(platform::FileResult::kExists);
    if (!folders.count(parent(t))) return Outcome(platform::FileResult::kMissing);
    files[t] = std::move(files[f]);
    files.erase(f);
    moveOwner(f, t);
    return {};
  }
  void moveOwner(const std::string& f, const std::string& t) {
    owners.erase(t);
    if (auto it = owners.find(f); it != owners.end()) owners[t] = owners.extract(it).mapped();
  }
  platform::FileOutcome replaceFile(const std::string& from, const std::string& to) override {
    const std::string f = full(from), t = full(to);
    log.push_back("replace " + f + " -> " + t);
    if (beforeMove) beforeMove(f);
    if (!files.count(f)) return {platform::FileResult::kMissing, "ファイルが見つかりません。"};
    if (auto r = refusal({f, t})) return *r;
    if (isHeld(f) || isHeld(t)) return Outcome(platform::FileResult::kHeld);
    if (auto it = replaceRefused.find(t); it != replaceRefused.end()) return Outcome(it->second);
    if (folders.count(t)) return Outcome(platform::FileResult::kDenied);
    if (!folders.count(parent(t))) return Outcome(platform::FileResult::kMissing);
    files[t] = std::move(files[f]);
    files.erase(f);
    moveOwner(f, t);
    return {};
  }
  std::vector<std::string> search(const std::string& pattern) override {
    std::vector<std::string> names;
    if (!pattern.empty() && pattern.back() == '\\') {
      const std::string dir = full(pattern);
      if (!folders.count(dir)) return names;
      if (dir.size() > 2) {  // a drive root has no "." entry
        names = {".", ".."};
      }
      for (const auto& f : folders) if (parent(f) == dir && f != dir) names.push_back(f.substr(dir.size() + 1));
      for (const auto& [f, _] : files) if (parent(f) == dir) names.push_back(f.substr(dir.size() + 1));
      return names;
    }
    const std::string f = full(pattern);
    if (folders.count(f) || files.count(f)) names.push_back(f.substr(parent(f).size() + 1));
    return names;
  }
  std::string currentFolder() override { return current.size() == 2 ? current + "\\" : current; }
  platform::FileOutcome changeDrive(const std::string& drive) override {
    log.push_back("drive " + drive);
    if (drive.empty() || !folders.count(drive.substr(0, 2))) {
      return {platform::FileResult::kMissing, "ドライブが見つかりません。"};
    }
    if (current.substr(0, 2) != drive.substr(0, 2)) current = drive.substr(0, 2);
    return {};
  }
  platform::FileOutcome changeFolder(const std::string& path) override {
    const std::string f = full(path);
    log.push_back("cd " + f);
    if (!folders.count(f)) return Outcome(platform::FileResult::kMissing);
    current = f;
    return {};
  }
  std::string tempFolder() override { return temp; }
  std::string createTempFile(const std::string& folder, const std::string& prefix) override {
    if (failTempFile) throw Failure("一時ファイルを作成できません。");
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", tempCounter++);
    const std::string name = folder + prefix.substr(0, 3) + hex + ".tmp";
    addFile(name, "");
    return name;
  }
  std::string programFolder() override { return program; }
  std::string desktopFolder() override { return desktop; }
  bool isHeld(const std::string& f) const {
    auto it = held.find(f);
    return it != held.end() && it->second > 0;
  }
  class FakeHold : public platform::Hold {
   public:
    FakeHold(FakeFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) { ++owner_.held[path_]; }
    ~FakeHold() override { --owner_.held[path_]; }
    std::string owner() override {
      auto it = owner_.owners.find(path_);
      return it == owner_.owners.end() ? kUserSid : it->second;
    }
    std::string contents() override { return owner_.files[path_]; }
    std::string access() override {
      if (auto it = owner_.accessLists.find(path_); it != owner_.accessLists.end()) return it->second;
      auto made = owner_.securityDescriptors.find(path_);  // what it was made with, owner left out
      if (made == owner_.securityDescriptors.end()) return "D:AI(A;ID;FA;;;" + kUserSid + ")";
      return made->second.substr(made->second.find("D:"));
    }

   private:
    FakeFileSystem& owner_;
    std::string path_;
  };
  platform::FileValue<std::unique_ptr<platform::Hold>> hold(const std::string& path) override {
    const std::string f = full(path);
    if (!files.count(f) && !folders.count(f)) return {Outcome(platform::FileResult::kMissing), nullptr};
    if (auto r = refusal({f})) return {*r, nullptr};
    return {{}, std::make_unique<FakeHold>(*this, f)};
  }

  class FakeCopy : public platform::NewCopy {
   public:
    FakeCopy(FakeFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    platform::FileOutcome flush() override { return step("flush"); }
    platform::FileOutcome close() override { return step("close"); }
    platform::FileOutcome step(const std::string& name) {
      owner_.log.push_back(name + " " + path_);
      auto it = owner_.failingCopySteps.find(name);
      return it == owner_.failingCopySteps.end() ? platform::FileOutcome{} : Outcome(it->second);
    }
    bool sameContents(const std::string& source) override {
      const std::string s = owner_.full(source);
      if (!owner_.files.count(s) || owner_.unreadable.count(s) || owner_.unreadable.count(path_)) {
        throw Failure("ファイルを読めません。");
      }
      return owner_.files[s] == owner_.files[path_];
    }
    platform::FileOutcome discard() override {
      owner_.log.push_back("discard " + path_);
      owner_.files.erase(path_);
      return {};
    }

   private:
    FakeFileSystem& owner_;
    std::string path_;
  };
  platform::FileValue<std::unique_ptr<platform::NewCopy>> copyNew(const std::string& from,
                                                                  const std::string& to) override {
    const std::string f = full(from), t = full(to);
    log.push_back("copy new " + t);
    if (copyFailures > 0) {
      --copyFailures;
      return {Outcome(platform::FileResult::kHeld), nullptr};
    }
    if (auto r = refusal({f, t})) return {*r, nullptr};
    if (!files.count(f) || !folders.count(parent(t))) return {Outcome(platform::FileResult::kMissing), nullptr};
    if (files.count(t) || folders.count(t)) return {Outcome(platform::FileResult::kExists), nullptr};
    if (copiesCutOff) return {Outcome(platform::FileResult::kFailed), nullptr};  // removed again, as the system's is
    files[t] = files[f];
    return {{}, std::make_unique<FakeCopy>(*this, t)};
  }
};

}  // namespace th::test

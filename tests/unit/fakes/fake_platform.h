#pragma once
// Test doubles for every seam, bundled into one platform a test can build a
// run from. The code page is the real iconv one: byte-exact files matter.
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "fakes/fake_filesystem.h"
#include "platform/platform.h"
#include "platform/posix/iconv_codepage.h"

namespace th::test {

class FakeClock : public platform::Clock {
 public:
  platform::LocalTime time{2026, 12, 6, 9, 5, 7};
  std::uint32_t ms = 0;
  std::vector<std::uint32_t> sleeps;
  platform::LocalTime now() override { return time; }
  std::uint32_t milliseconds() override { return ms; }
  void sleep(std::uint32_t d) override {
    sleeps.push_back(d);
    ms += d;
  }
};

class FakeSystemInfo : public platform::SystemInfo {
 public:
  std::string name = "PC01";
  std::string dnsName = "pc01";
  std::map<std::string, std::string> env;
  std::uint64_t random = 0x0123456789ABCDEF;
  std::uint64_t randomStep = 1;  // 0: the same number every time
  std::string sid = kUserSid;
  std::string computerName() override { return name; }
  std::string userSid() override {
    if (sid.empty()) throw Failure("アクセス トークンを読めません。");
    return sid;
  }
  std::uint64_t randomNumber() override {
    const std::uint64_t n = random;
    random += randomStep;
    return n;
  }
  std::string computerNameEx(int) override { return dnsName; }
  std::optional<std::string> environment(const std::string& n) override {
    auto it = env.find(n);
    if (it == env.end()) return std::nullopt;
    return it->second;
  }
};

class FakeProcesses : public platform::Processes {
 public:
  struct Started {
    std::string commandLine;
    platform::ShowWindow show;
    platform::SystemProgram program;
    std::string folder;
  };
  std::vector<Started> started;
  // Runs when a command starts, to act out its effects; may throw Failure
  // to refuse the start.
  std::function<void(const std::string&)> onStart;
  int pumpedWaits = 0;

  class Process : public platform::RunningProcess {
   public:
    explicit Process(FakeProcesses& owner) : owner_(owner) {}
    void waitPumping() override { ++owner_.pumpedWaits; }

   private:
    FakeProcesses& owner_;
  };
  std::unique_ptr<platform::RunningProcess> start(platform::SystemProgram program, const std::string& cmd,
                                                  platform::ShowWindow show, const std::string& folder) override {
    if (onStart) onStart(cmd);
    started.push_back({cmd, show, program, folder});
    return std::make_unique<Process>(*this);
  }
};

// Keys by path: text values in `keys`, DWORDs in `dwords`; a key exists when
// either holds it or a key below it; `refused` keys fail to open with their reason.
class FakeRegistry : public platform::Registry {
 public:
  std::map<std::string, std::map<std::string, std::string>> keys;
  std::map<std::string, std::map<std::string, std::uint32_t>> dwords;
  std::map<std::string, platform::Unread> refused;
  std::vector<std::string> opened;

  class Key : public platform::RegistryKey {
   public:
    Key(FakeRegistry& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    std::optional<std::string> readText(const std::string& name) override {
      auto text = readString(name);
      if (!text.value || text.value->size() + 1 > 256) return std::nullopt;
      return text.value;
    }
    platform::Reading<std::string> readString(const std::string& name) override {
      if (auto it = owner_.keys[path_].find(name); it != owner_.keys[path_].end()) return it->second;
      if (owner_.dwords[path_].count(name)) return platform::ErrorCode(0x65D);  // ERROR_DATATYPE_MISMATCH
      return platform::kUnsupported;
    }
    platform::Reading<std::uint32_t> readDword(const std::string& name) override {
      if (auto it = owner_.dwords[path_].find(name); it != owner_.dwords[path_].end()) return it->second;
      if (owner_.keys[path_].count(name)) return platform::ErrorCode(0x65D);
      return platform::kUnsupported;
    }
    platform::Reading<std::vector<std::string>> subkeyNames() override {
      std::set<std::string> names;  // sorted, as the registry lists them
      const std::string below = path_ + "\\";
      for (const std::string& path : owner_.paths()) {
        if (path.rfind(below, 0) == 0) names.insert(path.substr(below.size(), path.find('\\', below.size()) - below.size()));
      }
      return std::vector<std::string>(names.begin(), names.end());
    }

   private:
    FakeRegistry& owner_;
    std::string path_;
  };

  std::unique_ptr<platform::RegistryKey> openLocalMachine(const std::string& path) override {
    return std::move(readLocalMachine(path).value).value_or(nullptr);
  }
  platform::Reading<std::unique_ptr<platform::RegistryKey>> readLocalMachine(const std::string& path) override {
    opened.push_back(path);
    if (auto it = refused.find(path); it != refused.end()) return it->second;
    for (const std::string& p : paths()) {
      if (p == path || p.rfind(path + "\\", 0) == 0) return std::unique_ptr<platform::RegistryKey>(new Key(*this, path));
    }
    return platform::kUnsupported;
  }

 private:
  std::vector<std::string> paths() const {
    std::vector<std::string> all;
    for (const auto& [path, values] : keys) all.push_back(path);
    for (const auto& [path, values] : dwords) all.push_back(path);
    return all;
  }
};

// By default a Windows 7 SP1 PC: the functions that came later are missing.
class FakeMachine : public platform::Machine {
 public:
  platform::Reading<std::string> arch = std::string("x64");
  std::uint32_t processors = 4;
  std::set<std::uint32_t> features;
  platform::Reading<std::uint64_t> memoryKb = std::uint64_t{8388608};
  platform::Reading<std::uint32_t> firmware = platform::kUnsupported;
  platform::Reading<platform::SecureBoot> secureBootState = platform::kUnsupported;
  platform::Reading<std::uint32_t> tpm = platform::kUnsupported;

  platform::Reading<std::string> architecture() override { return arch; }
  std::uint32_t logicalProcessors() override { return processors; }
  bool processorFeature(std::uint32_t feature) override { return features.count(feature) > 0; }
  platform::Reading<std::uint64_t> installedMemoryKb() override { return memoryKb; }
  platform::Reading<std::uint32_t> firmwareType() override { return firmware; }
  platform::Reading<platform::SecureBoot> secureBoot() override { return secureBootState; }
  platform::Reading<std::uint32_t> tpmVersion() override { return tpm; }
};

// WMI answers by query text; a query not listed fails.
class FakeWmi : public platform::Wmi {
 public:
  struct Instance {
    std::vector<platform::Property> properties;
    std::set<std::string> failingReads;  // named reads that fail
    bool failProperties = false;
  };
  std::map<std::string, std::vector<Instance>> answers;
  std::map<std::string, std::string> failures;  // query -> the description it fails with
  bool failConnect = false;
  std::vector<std::string> queries;

  class FakeInstance : public platform::WmiInstance {
   public:
    explicit FakeInstance(Instance data) : data_(std::move(data)) {}
    std::vector<platform::Property> properties() override {
      if (data_.failProperties) throw Failure("プロパティを取得できません。");
      return data_.properties;
    }
    platform::PropertyValue get(const std::string& name) override {
      if (data_.failingReads.count(name)) throw Failure("オブジェクトは、このプロパティまたはメソッドをサポートしていません。");
      for (const auto& [n, v] : data_.properties) {
        if (n == name) return v;
      }
      throw Failure("オブジェクトは、このプロパティまたはメソッドをサポートしていません。");
    }

   private:
    Instance data_;
  };
  class Connection : public platform::WmiConnection {
   public:
    explicit Connection(FakeWmi& owner) : owner_(owner) {}
    std::vector<std::unique_ptr<platform::WmiInstance>> query(const std::string& wql) override {
      owner_.queries.push_back(wql);
      if (auto failed = owner_.failures.find(wql); failed != owner_.failures.end()) throw Failure(failed->second);
      auto it = owner_.answers.find(wql);
      if (it == owner_.answers.end()) throw Failure("無効なクラスです。");
      std::vector<std::unique_ptr<platform::WmiInstance>> out;
      for (const auto& i : it->second) out.push_back(std::make_unique<FakeInstance>(i));
      return out;
    }

   private:
    FakeWmi& owner_;
  };
  std::unique_ptr<platform::WmiConnection> connect(const std::string& moniker) override {
    if (failConnect || moniker != "winmgmts:\\\\.\\root\\cimv2") throw Failure("WMI に接続できません。");
    return std::make_unique<Connection>(*this);
  }
};

class FakeUi : public platform::Ui {
 public:
  bool firstInstance = true;
  platform::EntryResult entry;
  std::function<void()> onEntryForm;  // runs while the form is "open"
  std::vector<std::string> events;    // what the user saw, in order
  std::vector<double> progress;       // the modeless notice's bar, each time it moved
  int pumps = 0;

  bool claimSingleInstance() override { return firstInstance; }
  void messageBox(const std::string& title, const std::string& text) override {
    events.push_back("box " + title + ": " + text);
  }
  void pumpMessages() override { ++pumps; }
  platform::EntryResult showEntryForm() override {
    events.push_back("entry form");
    if (onEntryForm) onEntryForm();
    return entry;
  }
  void showNotice(int mode) override { events.push_back("notice " + std::to_string(mode)); }
  void setNoticeProgress(double filled) override { progress.push_back(filled); }
  void closeNotice() override { events.push_back("close notice"); }
  void showNoticeModal(int mode) override { events.push_back("modal notice " + std::to_string(mode)); }
};

struct FakePlatform {
  FakeFileSystem fs;
  platform::IconvCodePage codePage;
  FakeClock clock;
  FakeSystemInfo system;
  FakeProcesses processes;
  FakeRegistry registry;
  FakeWmi wmi;
  FakeUi ui;
  FakeMachine machine;
  platform::Platform os{fs, codePage, clock, system, processes, registry, wmi, ui, machine};

  // UTF-8 text of a CP932 file.
  std::string text(const std::string& path) { return codePage.fromAnsi(fs.content(path)); }
};

}  // namespace th::test

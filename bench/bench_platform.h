#pragma once
// A platform for running core stages in a benchmark: files on disk, the
// real code page conversion, the unit tests' doubles for the seams the
// measured stages do not touch.
#include <string>

#include "disk_filesystem.h"
#include "fakes/fake_platform.h"
#include "platform/posix/iconv_codepage.h"

namespace th::bench {

struct BenchPlatform {
  // root: a host folder; drive C: lies in <root>/C and "C:\bench" is made.
  explicit BenchPlatform(const std::string& root);

  DiskFileSystem fs;
  platform::IconvCodePage codePage;
  test::FakeClock clock;
  test::FakeSystemInfo system;
  test::FakeProcesses processes;
  test::FakeRegistry registry;
  test::FakeWmi wmi;
  test::FakeUi ui;
  test::FakeMachine machine;
  platform::Platform os{fs, codePage, clock, system, processes, registry, wmi, ui, machine};
};

// A new empty folder under $TMPDIR (or /tmp), removed with its contents by
// the destructor.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace th::bench

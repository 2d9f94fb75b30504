#include "bench_platform.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace th::bench {

BenchPlatform::BenchPlatform(const std::string& root) : fs(root, "C:\\bench") {
  std::filesystem::create_directories(fs.hostPath("C:\\bench\\SAVE"));
}

ScratchFolder::ScratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tallyhawk-bench-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace th::bench

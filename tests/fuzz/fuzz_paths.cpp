// ResolvePath and the path and text helpers on arbitrary paths.
#include <cstdint>
#include <string>

#include "fakes/fake_platform.h"
#include "fuzz_support.h"
#include "platform/failure.h"
#include "support/paths.h"
#include "support/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  try {
    FUZZ_CHECK(th::FolderPart(path) + th::FileNamePart(path) == path);
    const std::string resolved = th::ResolvePath(path, "C:\\Tools\\Inv");
    // Parent steps are all resolved: nothing climbs out from the result.
    FUZZ_CHECK(resolved.find("..\\") == std::string::npos);
    if (th::StartsWith(path, ".\\") && path.find("..") == std::string::npos && path.find("<>") == std::string::npos) {
      FUZZ_CHECK(th::StartsWith(resolved, "C:\\Tools\\Inv\\"));
    }
  } catch (const th::Failure&) {
    FUZZ_CHECK(th::CharCount(path) > 30000);  // only overflow may fail
  }

  const std::size_t half = size / 2;
  const std::string search = path.substr(0, std::min<std::size_t>(half, 4));
  try {
    const std::string removed = th::RemoveAll(path, search);
    FUZZ_CHECK(search.empty() || removed.find(search) == std::string::npos);
  } catch (const th::Failure&) {
  }

  th::test::FakePlatform p;
  th::DeleteFiles(p.os, path);
  (void)th::FolderMissing(p.os, path);
  (void)th::FileLength(p.os, path);
  th::ChangeToFolder(p.os, path);
  return 0;
}

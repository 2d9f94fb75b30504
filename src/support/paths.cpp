#include "support/paths.h"

#include "platform/failure.h"
#include "support/guard.h"
#include "support/text.h"

namespace th {

namespace {

constexpr std::size_t kMaxShortText = 32767;

void CheckRange(const std::string& s) {
  if (s.size() > kMaxShortText && CharCount(s) > kMaxShortText) throw Failure("オーバーフローしました。");
}

// Splits off the text up to and including the first "\"; the rest follows it.
std::string AnchorDot(platform::Platform& os, const std::string& path) {
  if (StartsWith(path, ".\\")) return AddPathSep(os.fs.programFolder()) + path.substr(2);
  return path;
}

}  // namespace

std::pair<std::string, std::string> SplitFirst(const std::string& path) {
  const auto at = path.find('\\');
  if (at == std::string::npos) return {path, ""};
  return {path.substr(0, at + 1), path.substr(at + 1)};
}

std::string FolderPart(const std::string& path) {
  CheckRange(path);
  const auto at = path.rfind('\\');
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string FileNamePart(const std::string& path) {
  const auto at = path.rfind('\\');
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string AddPathSep(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

std::string ResolvePath(const std::string& path, const std::string& programFolder) {
  const std::string home = AddPathSep(programFolder);
  std::string p = path;
  if (!p.empty() && p.back() == '.') p += '\\';
  std::string folder = AddPathSep(FolderPart(p));
  const std::string file = FileNamePart(p);
  if (StartsWith(folder, ".\\")) folder = home + folder.substr(2);

  // Drop every current-folder component, keeping the parent-folder ones.
  folder = ReplaceAll(folder, "..\\", "<>");
  folder = RemoveAll(folder, ".\\");
  folder = ReplaceAll(folder, "<>", "..\\");
  if (StartsWith(folder, "..\\")) folder = home + folder;

  for (auto at = folder.find("..\\"); at != std::string::npos; at = folder.find("..\\")) {
    if (at == 0) {
      folder.erase(0, 3);
    } else {
      std::string before = folder.substr(0, at - 1);
      while (!before.empty() && before.back() != '\\') before.pop_back();
      folder = before + folder.substr(at + 3);
    }
    if (folder == "..\\") {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) folder = SplitFirst(home).first;
  return folder + file;
}

std::string ResolvePath(platform::Platform& os, const std::string& path) {
  return ResolvePath(path, os.fs.programFolder());
}

void DeleteFiles(platform::Platform& os, const std::string& path) {
  if (path.empty()) return;
  std::string target = path;
  // Never reported: a path beyond the 16-bit range, a missing, held or
  // read-only file leave no trace.
  if (!StartsWith(path, "\\\\") && !IgnoreFailure([&] { target = ResolvePath(os, path); })) return;
  IgnoreFailure([&] { return os.fs.setAttributes(target, 0); });  // a read-only file must go too
  IgnoreFailure([&] { return os.fs.removeFile(target); });
}

std::int64_t FileLength(platform::Platform& os, const std::string& path) { return os.fs.fileLength(path); }

bool FolderMissing(platform::Platform& os, const std::string& folder) {
  try {
    const auto names = os.fs.search(folder);
    if (!names.empty() && names.front() == folder) return false;
    for (const auto& name : names) {
      if (name == "." && os.fs.isDirectory(folder + ".")) return false;
    }
    return true;
  } catch (const Failure&) {
    return true;  // a pattern the search refuses names no folder
  }
}

void ChangeToFolder(platform::Platform& os, const std::string& path) {
  std::string anchored;
  // No program folder to anchor ".\" at: there is nowhere to go, and this
  // helper reports nothing.
  if (!IgnoreFailure([&] { anchored = AnchorDot(os, path); })) return;
  // Named copies: a lambda may not capture a structured binding.
  auto split = SplitFirst(anchored);
  const std::string first = split.first;
  std::string rest = split.second;
  // A drive or piece that cannot be entered is skipped; the walk goes on
  // from where it stands.
  if (os.fs.changeDrive(first).done()) IgnoreFailure([&] { return os.fs.changeFolder(first); });
  for (auto at = rest.find('\\'); at != std::string::npos; at = rest.find('\\')) {
    IgnoreFailure([&] { return os.fs.changeFolder(rest.substr(0, at)); });
    rest.erase(0, at + 1);
  }
}

}  // namespace th

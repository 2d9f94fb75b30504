#include "ledger/records/input_files.h"

#include <fstream>

namespace th::ledger {

namespace fs = std::filesystem;

fs::path PathFromUtf8(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

namespace {

bool IsCsv(const fs::path& p) {
  std::string ext = Utf8FromPath(p.extension());
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext == ".csv";
}

// The owner file Excel keeps beside a workbook it has open (~$abc-05-0012.csv):
// not a record file, and gone when Excel closes it.
bool IsExcelLock(const fs::path& p) { return Utf8FromPath(p.filename()).rfind("~$", 0) == 0; }

bool IsExcluded(const fs::path& dir, const std::vector<fs::path>& excluded) {
  if (excluded.empty()) return false;
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(dir, ec);
  for (const fs::path& e : excluded) {
    if (!ec && canonical == e) return true;
  }
  return false;
}

void WalkFolder(const fs::path& root, const InputWalk& walk, std::vector<fs::path> excluded) {
  std::vector<fs::path> folders = {root};
  while (!folders.empty()) {
    const fs::path folder = std::move(folders.back());
    folders.pop_back();
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
      walk.unreadable(folder, ec.message());
      continue;
    }
    std::vector<fs::path> subfolders;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
      std::error_code typeEc;
      // Links to folders are not followed (a loop would never end).
      if (it->is_directory(typeEc) && !it->is_symlink(typeEc)) {
        if (!IsExcluded(it->path(), excluded)) subfolders.push_back(it->path());
      } else if (it->is_regular_file(typeEc) && IsCsv(it->path()) && !IsExcelLock(it->path())) {
        walk.file(it->path());
      }
    }
    if (ec) walk.unreadable(folder, ec.message());
    // Depth first, subfolders in the order listed.
    folders.insert(folders.end(), subfolders.rbegin(), subfolders.rend());
  }
}

}  // namespace

void ForEachInputFile(const InputWalk& walk) {
  std::vector<fs::path> excluded;
  for (const fs::path& e : walk.excluded) {
    std::error_code ec;
    excluded.push_back(fs::weakly_canonical(e, ec));
  }
  for (const std::string& input : walk.inputs) {
    const fs::path root = PathFromUtf8(input);
    std::error_code ec;
    if (fs::is_directory(root, ec)) {
      WalkFolder(root, walk, excluded);
    } else {
      walk.file(root);
    }
  }
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0);
  bytes.resize(static_cast<std::size_t>(size));
  in.read(bytes.data(), size);
  return in.gcount() == size;
}

}  // namespace th::ledger

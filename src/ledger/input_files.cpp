#include "ledger/input_files.h"

#include <cstdio>
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

}  // namespace

void ForEachInputFile(const std::vector<std::string>& inputs, const std::function<void(const fs::path&)>& each) {
  for (const std::string& input : inputs) {
    const fs::path root = PathFromUtf8(input);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
      each(root);
      continue;
    }
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code fileEc;
      if (it->is_regular_file(fileEc) && IsCsv(it->path())) each(it->path());
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

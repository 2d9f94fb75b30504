#pragma once
// A ZIP archive written entry by entry with minizip (deflated, UTF-8 names).
#include <filesystem>
#include <string>
#include <string_view>

namespace th::ledger {

class ZipWriter {
 public:
  // Creates (replaces) the archive; throws std::runtime_error when it cannot.
  explicit ZipWriter(const std::filesystem::path& path);
  ~ZipWriter();  // closes an archive that close() did not
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  void add(const std::string& utf8Name, std::string_view bytes);
  void close();

 private:
  void* zip_;
  std::string name_;
};

}  // namespace th::ledger

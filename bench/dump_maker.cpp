#include "dump_maker.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace th::bench {

namespace {

constexpr const char* kRoots[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};

class Writer {
 public:
  Writer(platform::CodePage& codePage, const std::string& path)
      : codePage_(codePage), file_(std::fopen(path.c_str(), "wb"), std::fclose) {
    if (!file_) throw std::runtime_error("cannot write " + path);
  }
  void line(const std::string& utf8) {
    bool ascii = true;
    for (char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    const std::string bytes = ascii ? utf8 : codePage_.toAnsi(utf8);
    std::fwrite(bytes.data(), 1, bytes.size(), file_.get());
    std::fwrite("\r\n", 1, 2, file_.get());
  }
  void value(const std::string& name, const char* type, const std::string& data) {
    line("    " + name + "    " + type + "    " + data);
  }

 private:
  platform::CodePage& codePage_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
};

std::string Guid(int i) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "{%08X-1F2E-4D3C-8B7A-%012X}", static_cast<unsigned>(i) * 2654435761u,
                static_cast<unsigned>(i));
  return buf;
}

// One entry's values, sorted by name as reg lists them.
void Entry(Writer& w, const std::string& root, int i) {
  const bool update = i % 10 == 9;
  const bool nameless = i % 25 == 12;
  const std::string n = std::to_string(i);
  const std::string name = update      ? "Security Update for Product " + n + " (KB" + std::to_string(4000000 + i) + ")"
                           : i % 7 == 3 ? "日本語 アプリケーション " + n + " (64 ビット)"
                                        : "Application " + n + " Professional Edition";
  const std::string folder = "C:\\Program Files\\Vendor " + std::to_string(i % 97) + "\\Product " + n + "\\";
  w.line(root + "\\" + Guid(i));
  if (!nameless) w.value("DisplayIcon", "REG_SZ", folder + "app.exe,0");
  if (!nameless) w.value("DisplayName", "REG_SZ", name);
  w.value("DisplayVersion", "REG_SZ", std::to_string(i % 13) + "." + std::to_string(i % 100) + "." + n);
  w.value("EstimatedSize", "REG_DWORD", "0x" + std::to_string(1000 + i % 9000));
  w.value("InstallDate", "REG_SZ", "2025" + std::string(i % 9 + 1 < 10 ? "0" : "") + std::to_string(i % 9 + 1) + "15");
  w.value("InstallLocation", "REG_SZ", folder);
  w.value("Language", "REG_DWORD", "0x411");
  if (update) w.value("ParentDisplayName", "REG_SZ", "Product " + n);
  w.value("Publisher", "REG_SZ", i % 5 == 0 ? "株式会社 ベンダー " + std::to_string(i % 97) : "Vendor " + std::to_string(i % 97) + " Inc.");
  w.value("UninstallString", "REG_EXPAND_SZ", "MsiExec.exe /X" + Guid(i));
  w.value("VersionMajor", "REG_DWORD", "0x" + std::to_string(i % 13));
  w.line("");
}

}  // namespace

void WriteDump(platform::CodePage& codePage, const std::string& hostPath, int entries) {
  Writer w(codePage, hostPath);
  // Six in ten entries under the machine's key, one in the user's, three in the 32-bit one.
  const int bounds[] = {entries * 6 / 10, entries * 7 / 10, entries};
  int i = 0;
  for (int r = 0; r < 3; ++r) {
    w.line("");
    for (; i < bounds[r]; ++i) Entry(w, kRoots[r], i);
  }
}

}  // namespace th::bench

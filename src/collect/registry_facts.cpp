#include "collect/registry_facts.h"

#include <memory>
#include <optional>

#include "collect/record_file.h"
#include "support/guard.h"
#include "support/text.h"

namespace th {

namespace {

// Replaces text with the value when it can be read; a value that cannot be
// read leaves text as it was.
void ReadValue(platform::RegistryKey& key, const std::string& name, std::string& text) {
  if (auto value = key.readText(name)) text = TrimSpaces(*value);
}

// The processor's word size as written in the OS version text.
std::string WordSize(const std::string& architecture) {
  for (const char* bits : {"86", "64", "128", "256", "512"}) {
    if (Contains(architecture, bits)) {
      return std::string(bits == std::string_view("86") ? "32" : bits) + " ビット";
    }
  }
  return architecture;
}

// Windows 11 kept Windows 10's product name: its build number tells it.
std::string ProductForBuild(std::string product, const std::string& build) {
  constexpr std::string_view kTen = "Windows 10";
  const bool eleven = build.size() >= 5 && build.find_first_not_of("0123456789") == std::string::npos &&
                      (build.size() > 5 || build >= "22000");
  const auto at = product.find(kTen);
  if (eleven && at != std::string::npos) product.replace(at, kTen.size(), "Windows 11");
  return product;
}

std::string ComposeVersion(const std::string& product, const std::string& wordSize, const std::string& servicePack) {
  if (product.empty()) return "";
  std::string text = product + " " + wordSize;
  if (!servicePack.empty()) text += " (" + servicePack + ")";
  return text;
}

}  // namespace

bool GetCPUName(RunContext& ctx) {
  constexpr std::string_view kProc = "GetCPUName";
  Record& rec = ctx.rec;
  rec.Start("Hard", "CPU", "NameString");

  std::unique_ptr<platform::RegistryKey> key;
  Guarded(ctx, kProc, [&] { key = ctx.os.registry.openLocalMachine("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0"); });
  if (!key) return false;
  Guarded(ctx, kProc, [&] { ReadValue(*key, "ProcessorNameString", rec.Contents); });
  if (rec.Contents.empty()) return false;
  SaveTextSet(ctx);
  return true;
}

void GetOSVersion(RunContext& ctx) {
  Record& rec = ctx.rec;
  rec.Start("Soft", "OS", "Version");
  if (!ctx.recordedOsVersion.empty()) return;

  // A key or value that cannot be read is no failure here (the registry seam
  // gives none): the procedure records what it found and ends quietly.
  platform::Registry& registry = ctx.os.registry;
  std::string wordSize;
  if (auto env = registry.openLocalMachine("SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment")) {
    if (auto value = env->readText("PROCESSOR_ARCHITECTURE")) wordSize = WordSize(TrimSpaces(*value));
  }

  std::string product, servicePack;
  for (const char* path : {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SOFTWARE\\Microsoft\\Windows\\VersionNumber"}) {
    if (!ctx.recordedOsVersion.empty()) break;
    auto key = registry.openLocalMachine(path);
    if (!key) continue;
    ReadValue(*key, "ProductName", product);  // a value missing here keeps what the first key gave
    ReadValue(*key, "CSDVersion", servicePack);
    std::string build;
    ReadValue(*key, "CurrentBuild", build);
    product = ProductForBuild(product, build);
    rec.Contents = ComposeVersion(product, wordSize, servicePack);
    key.reset();
    if (!rec.Contents.empty()) {
      SaveTextSet(ctx);
      ctx.recordedOsVersion = rec.Contents;
    }
  }
}

}  // namespace th

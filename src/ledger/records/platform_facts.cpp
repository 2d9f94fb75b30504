#include "ledger/records/platform_facts.h"

#include <string_view>

namespace th::ledger {

const std::array<const char*, kPlatformFacts> kPlatformColumns = {
    "cpu_vendor", "cpu_identifier", "platform_id", "arm81_atomics", "logical_processors", "architecture",
    "memory_installed_kb", "firmware_type", "secure_boot_capable", "secure_boot_enabled", "secure_boot_ca2023",
    "tpm_version", "os_build", "os_ubr", "os_display_version", "os_edition", "appraiser", "bypass"};

namespace {

struct Line {
  std::string_view item, subitem;
  PlatformFact fact;
};
constexpr Line kLines[] = {
    {"CPU", "Vendor", kCpuVendor},
    {"CPU", "Identifier", kCpuIdentifier},
    {"CPU", "PlatformId", kPlatformId},
    {"CPU", "Arm81Atomics", kArm81Atomics},
    {"CPU", "LogicalProcessors", kLogicalProcessors},
    {"CPU", "Architecture", kArchitecture},
    {"Memory", "Installed", kMemoryInstalledKb},
    {"Firmware", "Type", kFirmwareType},
    {"Firmware", "SecureBootCapable", kSecureBootCapable},
    {"Firmware", "SecureBootEnabled", kSecureBootEnabled},
    {"Firmware", "SecureBootCA2023", kSecureBootCa2023},
    {"TPM", "Version", kTpmVersion},
    {"OS", "CurrentBuild", kOsBuild},
    {"OS", "UBR", kOsUbr},
    {"OS", "DisplayVersion", kOsDisplayVersion},
    {"OS", "EditionID", kOsEdition},
};

}  // namespace

std::optional<PlatformFacts> ReadPlatformFacts(const RecordFile& file) {
  PlatformFacts p;
  bool section = false;
  for (const RecordRow& row : file.rows) {
    const auto& f = row.fields;
    if (f[kGroup] != "Platform") continue;
    const std::string_view item = f[kItem], sub = f[kSubItem], v = f[kContents];
    if (item == "Section") {
      section = section || sub == "Version";
    } else if (item == "Appraiser") {
      if (sub == "Bypass") {
        p.facts[kBypass] = std::string(v);
        continue;
      }
      std::optional<std::string>& a = p.facts[kAppraiser];
      if (!a) a.emplace();
      if (sub == "Targets") continue;
      std::string target(sub);
      for (std::string_view part : {v, f[kUnit]}) {
        if (!part.empty()) (target += ' ') += part;
      }
      if (!a->empty()) *a += ';';
      *a += target;
    } else {
      for (const Line& l : kLines) {
        if (l.item == item && l.subitem == sub) {
          if (!p.facts[l.fact] && !v.empty()) p.facts[l.fact] = std::string(v);
          break;
        }
      }
    }
  }
  if (!section) return std::nullopt;
  return p;
}

}  // namespace th::ledger

#include "collect/platform_facts.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "collect/collector_steps.h"

namespace th {

namespace {

using platform::Reading;
using platform::Unread;

constexpr const char* kCpuKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const char* kSecureBootKey = "SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\";
constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kAppCompatKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\";
constexpr const char* kIndicatorsKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\TargetVersionUpgradeExperienceIndicators";
constexpr std::uint32_t kArm81Atomics = 34;  // PF_ARM_V81_ATOMIC_INSTRUCTIONS_AVAILABLE
constexpr const char* kLabConfigBypasses[] = {"BypassTPMCheck", "BypassSecureBootCheck", "BypassRAMCheck",
                                              "BypassCPUCheck", "BypassStorageCheck", "BypassDiskCheck"};

// A record's contents and unit.
struct Fact {
  std::string contents, unit;
};

std::string ReasonText(const Unread& unread) {
  switch (unread.why) {
    case Unread::Why::kUnsupported:
      return "unsupported";
    case Unread::Why::kDenied:
      return "denied";
    case Unread::Why::kError:
      break;
  }
  char text[24];
  std::snprintf(text, sizeof text, "error 0x%08X", static_cast<unsigned>(unread.code));
  return text;
}

Fact Reason(const Unread& unread) { return {"", ReasonText(unread)}; }

std::string Flag(bool on) { return on ? "1" : "0"; }

// A registry text as blank-separated words: a comma parts words as a blank
// does, where the record's cleaning would otherwise glue them together.
std::string Words(const std::string& text) {
  std::string out, word;
  for (const char c : text + ' ') {
    if (c != ' ' && c != ',') {
      word += c;
    } else if (!word.empty()) {
      out += (out.empty() ? "" : " ") + word;
      word.clear();
    }
  }
  return out;
}

// A text fact: its words; a value with none tells nothing.
Fact TextFact(const Reading<std::string>& text) {
  if (!text.value) return Reason(text.unread);
  std::string words = Words(*text.value);
  if (words.empty()) return Reason(platform::kUnsupported);
  return {std::move(words), ""};
}

template <class Number>
Fact NumberFact(const Reading<Number>& number, std::string unit = "") {
  if (!number.value) return Reason(number.unread);
  return {std::to_string(*number.value), std::move(unit)};
}

// One registry key, opened once; every read of a key that did not open
// answers why it did not.
class Key {
 public:
  Key(platform::Registry& registry, const std::string& path) : key_(registry.readLocalMachine(path)) {}

  Reading<std::string> text(const std::string& name) {
    if (!key_.value) return key_.unread;
    return (*key_.value)->readString(name);
  }
  Reading<std::uint32_t> dword(const std::string& name) {
    if (!key_.value) return key_.unread;
    return (*key_.value)->readDword(name);
  }
  Reading<std::vector<std::string>> subkeys() {
    if (!key_.value) return key_.unread;
    return (*key_.value)->subkeyNames();
  }

 private:
  Reading<std::unique_ptr<platform::RegistryKey>> key_;
};

Fact FirmwareTypeFact(const Reading<std::uint32_t>& type) {
  if (!type.value) return Reason(type.unread);
  if (*type.value == 1) return {"BIOS", ""};
  if (*type.value == 2) return {"UEFI", ""};
  return Reason(platform::kUnsupported);
}

Fact MemoryFact(const Reading<std::uint64_t>& kb) {
  if (kb.value && *kb.value == 0) return Reason(platform::kUnsupported);  // a virtual machine's empty tables
  return NumberFact(kb, "KB");
}

Fact TpmFact(const Reading<std::uint32_t>& version) {
  if (!version.value) return Reason(version.unread);
  switch (*version.value) {
    case 0:
      return {"none", ""};
    case 1:
      return {"1.2", ""};
    case 2:
      return {"2.0", ""};
    default:
      return Reason(platform::kUnsupported);
  }
}

// Capable and enabled, as the system tells them; where it does not, the
// registry's UEFISecureBootEnabled still tells enabled (and enabled tells capable).
std::pair<Fact, Fact> SecureBootFacts(const Reading<platform::SecureBoot>& told, const Reading<std::uint32_t>& state) {
  if (told.value) return {{Flag(told.value->capable), ""}, {Flag(told.value->enabled), ""}};
  if (!state.value) return {Reason(told.unread), Reason(told.unread)};
  const bool enabled = *state.value != 0;
  return {enabled ? Fact{"1", ""} : Reason(told.unread), {Flag(enabled), ""}};
}

// The marks that tools bypassing Windows 11's checks leave, and the reason
// of a mark's key that could not be read (not a missing one).
Fact BypassFact(platform::Registry& registry) {
  std::string marks, unit;
  auto mark = [&](const char* name, bool found, const Unread& unread) {
    if (found) marks += (marks.empty() ? "" : " ") + std::string(name);
    if (!found && unread.why != Unread::Why::kUnsupported && unit.empty()) unit = ReasonText(unread);
  };
  const auto moSetup = Key(registry, "SYSTEM\\Setup\\MoSetup").dword("AllowUpgradesWithUnsupportedTPMOrCPU");
  mark("MoSetup", moSetup.value.value_or(0) != 0, moSetup.unread);
  Key labConfig(registry, "SYSTEM\\Setup\\LabConfig");
  bool bypassed = false;
  Unread labUnread = platform::kUnsupported;
  for (const char* name : kLabConfigBypasses) {
    const auto value = labConfig.dword(name);
    bypassed = bypassed || value.value.value_or(0) != 0;
    if (!value.value && labUnread.why == Unread::Why::kUnsupported) labUnread = value.unread;
  }
  mark("LabConfig", bypassed, labUnread);
  const auto hwReqChk = Key(registry, std::string(kAppCompatKey) + "HwReqChk").text("HwReqChkVars");
  mark("HwReqChk", hwReqChk.value.has_value(), hwReqChk.unread);
  return {marks, unit};
}

}  // namespace

void GetPlatform(RunContext& ctx) {
  platform::Machine& machine = ctx.os.machine;
  platform::Registry& registry = ctx.os.registry;
  auto save = [&](const char* item, const std::string& subItem, const Fact& fact) {
    ctx.rec.Group = "Platform";
    ctx.rec.Item = item;
    SaveRecord(ctx, subItem, fact.contents, fact.unit);
  };

  save("Section", "Version", {"1", ""});

  Key cpu(registry, kCpuKey);
  save("CPU", "Vendor", TextFact(cpu.text("VendorIdentifier")));
  save("CPU", "Identifier", TextFact(cpu.text("Identifier")));
  save("CPU", "PlatformId", NumberFact(cpu.dword("Platform Specific Field 1")));
  save("CPU", "Arm81Atomics", {Flag(machine.processorFeature(kArm81Atomics)), ""});
  save("CPU", "LogicalProcessors", {std::to_string(machine.logicalProcessors()), ""});
  save("CPU", "Architecture", TextFact(machine.architecture()));

  save("Memory", "Installed", MemoryFact(machine.installedMemoryKb()));

  save("Firmware", "Type", FirmwareTypeFact(machine.firmwareType()));
  const auto [capable, enabled] = SecureBootFacts(
      machine.secureBoot(), Key(registry, std::string(kSecureBootKey) + "State").dword("UEFISecureBootEnabled"));
  save("Firmware", "SecureBootCapable", capable);
  save("Firmware", "SecureBootEnabled", enabled);
  save("Firmware", "SecureBootCA2023",
       TextFact(Key(registry, std::string(kSecureBootKey) + "Servicing").text("UEFICA2023Status")));

  save("TPM", "Version", TpmFact(machine.tpmVersion()));

  Key os(registry, kCurrentVersionKey);
  save("OS", "CurrentBuild", TextFact(os.text("CurrentBuild")));
  save("OS", "UBR", NumberFact(os.dword("UBR")));
  save("OS", "DisplayVersion", TextFact(os.text("DisplayVersion")));
  save("OS", "EditionID", TextFact(os.text("EditionID")));

  // Windows' own verdict per target release; absent where telemetry is off.
  const auto targets = Key(registry, kIndicatorsKey).subkeys();
  const bool missing = !targets.value && targets.unread.why == Unread::Why::kUnsupported;
  if (missing || (targets.value && targets.value->empty())) {
    save("Appraiser", "Targets", {"", "none"});
  } else if (!targets.value) {
    save("Appraiser", "Targets", Reason(targets.unread));
  } else {
    for (const std::string& target : *targets.value) {
      Key indicators(registry, std::string(kIndicatorsKey) + "\\" + target);
      Fact verdict = TextFact(indicators.text("UpgEx"));
      if (!verdict.contents.empty()) verdict.unit = Words(indicators.text("RedReason").value.value_or(""));
      save("Appraiser", Words(target), verdict);
    }
  }
  save("Appraiser", "Bypass", BypassFact(registry));
}

}  // namespace th

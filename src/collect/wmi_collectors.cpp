#include "collect/wmi_collectors.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>

#include "collect/collector_steps.h"
#include "collect/key_block.h"
#include "collect/record_file.h"
#include "collect/registry_facts.h"
#include "platform/failure.h"
#include "support/guard.h"
#include "support/text.h"

namespace th {

namespace {

using platform::PropertyValue;

// Characters from..from+count-1 (1-based) of a UTF-8 text; what is there
// when the text is shorter.
std::string Mid(const std::string& text, std::size_t from, std::size_t count) {
  std::string out;
  std::size_t index = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = 1;
    while (i + len < text.size() && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80) ++len;
    ++index;
    if (index >= from && index < from + count) out.append(text, i, len);
    i += len;
  }
  return out;
}

// One left-to-right pass: three blanks become two.
std::string CollapseDoubleBlanks(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ') ++i;
  }
  return out;
}

// Bytes as whole megabytes, a fraction of exactly one half going to the even
// neighbour.
std::int64_t Megabytes(RunContext& ctx, const PropertyValue& value) {
  const double mb = NumOrDefault(ctx, ValueText(ctx, value), 0) / 1024 / 1024;
  if (!std::isfinite(mb) || std::fabs(mb) > 9.0e15) throw Failure("オーバーフローしました。");
  double whole = std::floor(mb);
  const double fraction = mb - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2) != 0)) whole += 1;
  return static_cast<std::int64_t>(whole);
}

const std::array<const char*, 24> kChassisNames = {
    "Other",        "Unknown",           "Desktop",           "Low Profile Desktop",
    "Pizza Box",    "Mini Tower",        "Tower",             "Portable",
    "Laptop",       "Notebook",          "Hand Held",         "Docking Station",
    "All in One",   "Sub Notebook",      "Space-Saving",      "Lunch Box",
    "Main System Chassis", "Expansion Chassis", "Sub Chassis", "Bus Expansion Chassis",
    "Peripheral Chassis",  "Storage Chassis",   "Rack Mount Chassis", "Sealed-Case PC"};

// By the exact text: a list of several types, "03" or " 3" match nothing.
std::string ChassisName(const std::string& types) {
  for (std::size_t i = 0; i < kChassisNames.size(); ++i) {
    if (types == std::to_string(i + 1)) return kChassisNames[i];
  }
  return "Unknown";
}

// The properties that each become a record as they are; the others each
// have their own step below.
constexpr PropertyRecord kOsRecords[] = {
    {"SerialNumber", "Soft", "OS", "ProductID"},
    {"SystemDirectory", "Soft", "OS", "SystemPath"},
    {"Description", "LAN", "LAN", "コンピュータの説明"},
    {"TotalVisibleMemorySize", "Hard", "メモリ", "全容量", "KB"},
};
constexpr PropertyRecord kBiosRecords[] = {
    {"Manufacturer", nullptr, nullptr, "Vendor"},
    {"Caption", nullptr, nullptr, "Caption"},
    {"Version", nullptr, nullptr, "Version"},
    {"SerialNumber", nullptr, nullptr, "SerialNo"},
};
constexpr PropertyRecord kSystemRecords[] = {
    {"Manufacturer", "WMI", "System", "Vendor"},
    {"Model", "WMI", "System", "Model"},
    {"Domain", "LAN", "LAN", "ドメイン"},  // null gives the empty text
    {"Workgroup", "LAN", "LAN", "ワークグループ"},
    {"UserName", "LAN", "LAN", "ユーザー名"},
};
constexpr PropertyRecord kBoardRecords[] = {
    {"Manufacturer", nullptr, nullptr, "Vendor"},
    {"Product", nullptr, nullptr, "Product"},
    {"SerialNumber", nullptr, nullptr, "SerialNo"},
};

constexpr const char* kAllZeroUuid = "{00000000-0000-0000-0000-000000000000}";

}  // namespace

bool GetCPU(RunContext& ctx) {
  ctx.rec.Group = "Hard";
  ctx.rec.Item = "CPU";
  if (GetCPUName(ctx)) return true;  // the registry's name makes WMI's redundant

  GuardedWmi wmi(ctx, "GetCPU");
  for (auto& processor : wmi.query("Select * from Win32_Processor")) {
    for (const auto& [name, value] : wmi.properties(*processor)) {
      if (name == "Name") SaveRecord(ctx, "NameString", TrimSpaces(ValueText(ctx, value)));
    }
  }
  return false;
}

void GetWindows(RunContext& ctx, std::string& systemDrive) {
  Record& rec = ctx.rec;
  std::string architecture;  // kept from one instance to the next
  GuardedWmi wmi(ctx, "GetWindows");
  for (auto& os : wmi.query("Select * from Win32_OperatingSystem")) {
    for (const auto& [name, value] : wmi.properties(*os)) {
      if (SaveListed(ctx, kOsRecords, name, value)) continue;
      if (name == "Caption") {
        rec.Group = "Soft";
        rec.Item = "OS";
        rec.SubItem = "Version";
        // Older systems have no such property: not worth a log entry.
        IgnoreFailure([&] { architecture = " " + ValueText(ctx, os->get("OSArchitecture")); });
        std::string version = ValueText(ctx, value) + architecture;
        // A service pack that cannot be read is left out, like a missing one.
        const auto servicePack = wmi.read(*os, "CSDVersion");
        if (servicePack && servicePack->kind != PropertyValue::Kind::Null) {
          version += " (" + ValueText(ctx, *servicePack) + ")";
        }
        rec.Contents = CollapseDoubleBlanks(version);
        rec.Unit.clear();
        SaveTextSet(ctx);
        ctx.recordedOsVersion = rec.Contents;
      } else if (name == "CSName") {
        if (!ctx.recordedComputerName.empty()) continue;
        rec.Group = "LAN";
        rec.Item = "LAN";
        SaveRecord(ctx, "コンピュータ名", ValueText(ctx, value));
        ctx.recordedComputerName = rec.Contents;
      } else if (name == "SystemDrive") {
        rec.Group = "Hard";
        rec.Item = "SystemHDD";
        SaveRecord(ctx, "Drive", ValueText(ctx, value));
        systemDrive = rec.Contents;
      }
    }
  }
}

void GetDisk(RunContext& ctx, const std::string& systemDrive) {
  constexpr std::string_view kProc = "GetDisk";
  Record& rec = ctx.rec;
  rec.Group = "Hard";
  rec.Item = "SystemHDD";
  std::int64_t total = 0;

  GuardedWmi wmi(ctx, kProc);
  for (auto& disk : wmi.query("Select * from Win32_LogicalDisk Where DriveType = 3")) {
    const auto id = wmi.read(*disk, "DeviceID");
    const bool isSystem = !systemDrive.empty() && id && ValueText(ctx, *id) == systemDrive;
    for (const auto& [name, value] : wmi.properties(*disk)) {
      if (name != "Size" && !(isSystem && name == "FreeSpace")) continue;
      std::optional<std::int64_t> mb;
      const auto& v = value;  // clang 14 cannot capture a structured binding
      Guarded(ctx, kProc, [&] { mb = Megabytes(ctx, v); });
      if (name == "Size") total += mb.value_or(0);
      if (isSystem) SaveRecord(ctx, name == "Size" ? "全容量" : "空容量", mb ? std::to_string(*mb) : "", "MB");
    }
  }
  rec.Item = "Hard Disk";
  SaveRecord(ctx, "合計量", std::to_string(total), "MB");
}

void GetBIOS(RunContext& ctx) {
  ctx.rec.Group = "WMI";
  ctx.rec.Item = "BIOS";
  GuardedWmi wmi(ctx, "GetBIOS");
  for (auto& bios : wmi.query("Select * from Win32_BIOS Where PrimaryBIOS = True")) {
    for (const auto& [name, value] : wmi.properties(*bios)) {
      if (SaveListed(ctx, kBiosRecords, name, value)) continue;
      if (name == "ReleaseDate") {
        const std::string cim = ValueText(ctx, value);  // yyyymmddhhnnss.ffffff+zzz
        SaveRecord(ctx, "ReleaseDate", Mid(cim, 1, 4) + "/" + Mid(cim, 5, 2) + "/" + Mid(cim, 7, 2));
      }
    }
  }
}

void GetPC(RunContext& ctx) {
  Record& rec = ctx.rec;
  GuardedWmi wmi(ctx, "GetPC");
  for (auto& system : wmi.query("Select * from Win32_ComputerSystem")) {
    for (const auto& [name, value] : wmi.properties(*system)) {
      if (SaveListed(ctx, kSystemRecords, name, value)) continue;
      if (name == "DNSHostName") {
        rec.Group = "LAN";
        rec.Item = "LAN";
        SaveRecord(ctx, "コンピュータ名", ValueText(ctx, value));
        ctx.recordedComputerName = TrimSpaces(rec.Contents);
      }
    }
  }
}

void GetPCCase(RunContext& ctx) {
  ctx.rec.Group = "WMI";
  ctx.rec.Item = "System";
  GuardedWmi wmi(ctx, "GetPCCase");
  for (auto& enclosure : wmi.query("Select * from Win32_SystemEnclosure")) {
    for (const auto& [name, value] : wmi.properties(*enclosure)) {
      if (name == "ChassisTypes") SaveRecord(ctx, "PC_Type", ChassisName(ValueText(ctx, value)));
    }
  }
}

void GetMB(RunContext& ctx) {
  ctx.rec.Group = "WMI";
  ctx.rec.Item = "MotherBoard";
  GuardedWmi wmi(ctx, "GetMB");
  for (auto& board : wmi.query("Select * from Win32_BaseBoard")) {
    for (const auto& [name, value] : wmi.properties(*board)) SaveListed(ctx, kBoardRecords, name, value);
  }
}

void GetUUID(RunContext& ctx) {
  Record& rec = ctx.rec;
  rec.Group = "WMI";
  rec.Item = "MotherBoard";
  GuardedWmi wmi(ctx, "GetUUID");

  bool found = false;
  bool allZero = false;
  for (auto& product : wmi.query("Select * from Win32_ComputerSystemProduct")) {
    for (const auto& [name, value] : wmi.properties(*product)) {
      if (name != "UUID") continue;
      rec.SubItem = "Device_ID";
      rec.Contents = "{" + ValueText(ctx, value) + "}";
      rec.Unit.clear();
      if (rec.Contents == kAllZeroUuid) {  // a board without a real id: use the board's maker and serial
        allZero = true;
        break;
      }
      SaveTextSet(ctx);
      found = true;
    }
    if (allZero) break;
  }
  if (found && !allZero) return;

  std::string maker, serial;
  for (auto& board : wmi.query("Select * from Win32_BaseBoard")) {
    for (const auto& [name, value] : wmi.properties(*board)) {
      if (name == "Manufacturer") maker = ValueText(ctx, value);
      if (name == "SerialNumber") serial = ValueText(ctx, value);
    }
  }
  SaveRecord(ctx, "Device_ID", maker + serial);
}

void GetDisplay(RunContext& ctx) {
  Record& rec = ctx.rec;
  rec.Group = "Hard";
  rec.Item = "画面";
  rec.SubItem = "解像度";
  rec.Unit.clear();
  std::string width, height, depth;

  GuardedWmi wmi(ctx, "GetDisplay");
  for (auto& display : wmi.query("Select * from Win32_DisplayConfiguration")) {
    for (const auto& [name, value] : wmi.properties(*display)) {
      if (name == "PelsWidth") width = ValueText(ctx, value);
      if (name == "PelsHeight") height = ValueText(ctx, value);
      if (name == "BitsPerPel") depth = ValueText(ctx, value);
    }
  }
  // A monitor that reports its size wins; the last one that does.
  for (auto& monitor : wmi.query("Select * from Win32_DesktopMonitor")) {
    for (const auto& [name, value] : wmi.properties(*monitor)) {
      if (name == "ScreenWidth" || name == "ScreenHeight") {
        std::string text = ValueText(ctx, value);
        if (!text.empty()) (name == "ScreenWidth" ? width : height) = std::move(text);
      }
    }
  }
  rec.Contents = width + " x " + height + " " + depth + "Bit";
  SaveTextSet(ctx);
}

void GetKeyboard(RunContext& ctx) {
  ctx.rec.Group = "Hard";
  ctx.rec.Item = "Keyboard";
  GuardedWmi wmi(ctx, "GetKeyboard");
  for (auto& keyboard : wmi.query("Select * from Win32_Keyboard")) {
    for (const auto& [name, value] : wmi.properties(*keyboard)) {
      if (name == "Description") SaveRecord(ctx, "キーボード", ValueText(ctx, value));
    }
  }
}

void GetPrinter(RunContext& ctx) {
  Record& rec = ctx.rec;
  rec.Group = "Hard";
  rec.Item = "Printer";
  GuardedWmi wmi(ctx, "GetPrinter");
  for (auto& printer : wmi.query("Select * from Win32_Printer Where Default = True")) {
    for (const auto& [name, value] : wmi.properties(*printer)) {
      if (name != "Caption") continue;
      rec.SubItem = "デフォルトプリンタ";
      rec.Contents = ValueText(ctx, value);
      // The port goes into the unit column; one that cannot be read is
      // written empty rather than as another record's unit.
      const auto port = wmi.read(*printer, "PortName");
      rec.Unit = port ? ValueText(ctx, *port) : "";
      SaveTextSet(ctx);
    }
  }
}

}  // namespace th

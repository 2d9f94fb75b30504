#include "collect/key_block.h"

#include <cmath>
#include <optional>

#include "collect/collector_steps.h"
#include "collect/record_file.h"
#include "support/guard.h"
#include "support/paths.h"
#include "support/text.h"

namespace th {

namespace {

using Kind = platform::PropertyValue::Kind;

constexpr std::string_view kProc = "GetKey";

// A number as the locale writes it: blanks around it, a sign, digits with
// optional grouping commas, a decimal point, an exponent.
std::optional<double> ParseNumber(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  std::string plain;
  std::size_t i = b;
  auto isDigit = [&](std::size_t at) { return at < e && text[at] >= '0' && text[at] <= '9'; };
  if (i < e && (text[i] == '+' || text[i] == '-')) plain += text[i++];
  bool digits = false;
  while (isDigit(i) || (digits && i < e && text[i] == ',')) {
    if (text[i] != ',') {
      plain += text[i];
      digits = true;
    }
    ++i;
  }
  if (i < e && text[i] == '.') {
    plain += text[i++];
    while (isDigit(i)) {
      plain += text[i++];
      digits = true;
    }
  }
  if (!digits) return std::nullopt;
  if (i < e && (text[i] == 'e' || text[i] == 'E')) {
    plain += text[i++];
    if (i < e && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    if (!isDigit(i)) return std::nullopt;
    while (isDigit(i)) plain += text[i++];
  }
  if (i != e) return std::nullopt;
  return std::strtod(plain.c_str(), nullptr);
}

// Records of one adapter property; properties not listed write nothing.
void SaveAdapterProperty(RunContext& ctx, const std::string& name, const platform::PropertyValue& value) {
  if (name == "MACAddress") {
    SaveRecord(ctx, "MACアドレス", ReplaceAll(ValueText(ctx, value), ":", "-"));
  } else if (name == "IPAddress") {
    SaveRecord(ctx, "IPアドレス", ReplaceAll(ValueText(ctx, value), ",", " "));
  } else if (name == "IPSubnet") {
    SaveRecord(ctx, "サブネットマスク", ReplaceAll(ValueText(ctx, value), ",", " "));
  } else if (name == "DefaultIPGateway") {
    // Separated like the addresses: the record writer drops commas, which
    // would run several gateways together into one unreadable text.
    SaveRecord(ctx, "ゲートウェイ", ReplaceAll(ValueText(ctx, value), ",", " "));
  } else if (name == "DHCPServer") {
    SaveRecord(ctx, "DHCPServer", ValueText(ctx, value));
  } else if (name == "DNSServerSearchOrder") {
    const std::string servers = ValueText(ctx, value);
    if (servers.empty()) return;
    const auto comma = servers.find(',');
    SaveRecord(ctx, "PrimaryDNS", servers.substr(0, comma));
    if (comma == std::string::npos) return;
    const auto next = servers.find(',', comma + 1);
    SaveRecord(ctx, "SecondaryDNS", servers.substr(comma + 1, next == std::string::npos ? next : next - comma - 1));
  } else if (name == "WINSPrimaryServer") {
    SaveRecord(ctx, "PrimaryWINS", ValueText(ctx, value));
  } else if (name == "WINSSecondaryServer") {
    SaveRecord(ctx, "SecondaryWINS", ValueText(ctx, value));
  }
}

}  // namespace

bool GetKey(RunContext& ctx) {
  platform::Platform& os = ctx.os;
  Record& rec = ctx.rec;

  GuardedWmi wmi(ctx, kProc);

  Guarded(ctx, kProc, [&] { ctx.outputFolder = GetOutputFolder(ctx); });
  bool folderPresent = false;
  Guarded(ctx, kProc, [&] { folderPresent = os.fs.folderExists(ctx.outputFolder); });
  if (!folderPresent) Guarded(ctx, kProc, [&] { MakeFolderPath(ctx, ctx.outputFolder); });

  Guarded(ctx, kProc, [&] { ctx.recordFilePath = MakeTempFile(ctx, "WKP"); });
  SaveText(ctx, ctx.recordFilePath, kRecordHeader);

  rec.Group = "Create";
  rec.Item = "DateTime";
  Guarded(ctx, kProc, [&] {
    const platform::LocalTime now = os.clock.now();  // one reading: date and time agree
    rec.SubItem = FormatDate(now);
    rec.Contents = FormatTime(now);
    rec.Unit.clear();
    rec.Renewalday = rec.SubItem;
  });
  SaveTextSet(ctx);

  rec.Group = "LAN";
  std::string adapterNumber;
  for (auto& adapter : wmi.query("Select * from Win32_NetworkAdapterConfiguration where IPEnabled=TRUE")) {
    rec.Item = "Adapter" + adapterNumber;
    // One step per property: a value too long to rewrite is logged and left
    // out, and the adapter's other properties and the run go on.
    for (const auto& property : wmi.properties(*adapter)) {
      Guarded(ctx, kProc, [&] { SaveAdapterProperty(ctx, property.first, property.second); });
    }
    if (adapterNumber.empty()) adapterNumber = "1";
    adapterNumber = std::to_string(static_cast<long long>(NumOrDefault(ctx, adapterNumber, 0)) + 1);
  }
  return true;
}

std::string GetOutputFolder(RunContext& ctx) {
  platform::Platform& os = ctx.os;
  std::string folder;
  bool marker = false;
  // Even an empty marker counts; a program folder beyond the 16-bit range has none.
  IgnoreFailure([&] { marker = FileLength(os, ResolvePath(os, ".\\DAT\\") + "Desktop.txt") >= 0; });
  if (marker) {
    // No desktop: the output folder stays empty.
    IgnoreFailure([&] {
      const std::string desktop = os.fs.desktopFolder();
      if (!desktop.empty()) folder = AddPathSep(desktop) + "SAVE\\";
    });
  } else {
    folder = ".\\SAVE\\";
  }
  MakeFolderPath(ctx, folder);
  return folder;
}

bool MakeFolderPath(RunContext& ctx, const std::string& path) {
  platform::Platform& os = ctx.os;
  // ".\" is the program's folder, for the test as for the making: asked as it
  // stands, the question would be about the current folder's SAVE.
  std::string full = path;
  // No program folder: the path is tried as it stands.
  if (StartsWith(full, ".\\")) IgnoreFailure([&] { full = AddPathSep(os.fs.programFolder()) + full.substr(2); });
  if (!FolderMissing(os, full)) return true;
  if (StartsWith(path, "\\\\")) {
    // Past the server name, each "\" ends one more level of the share's path.
    std::size_t at = path.find('\\', 2);
    if (at != std::string::npos) {
      for (at = path.find('\\', at + 1); at != std::string::npos; at = path.find('\\', at + 1)) {
        const std::string level = path.substr(0, at + 1);
        // One that cannot be made shows in the final test below.
        if (FolderMissing(os, level)) IgnoreFailure([&] { return os.fs.createFolder(level); });
      }
    }
  } else {
    // Without a current folder to go back to, the walk still goes as far as
    // it can; the final test tells.
    std::string remembered;
    IgnoreFailure([&] { remembered = AddPathSep(os.fs.currentFolder()); });
    // Named copies: a lambda may not capture a structured binding.
    auto split = SplitFirst(full);
    const std::string first = split.first;
    std::string rest = split.second;

    // Whether the drive was entered is asked just below, of the current folder.
    IgnoreFailure([&] { return os.fs.changeDrive(first); });
    bool onDrive = false;
    IgnoreFailure([&] {  // no current folder: not on the drive
      const std::string now = os.fs.currentFolder();
      onDrive = !first.empty() && !now.empty() && now[0] == first[0];
    });
    if (onDrive) {
      // Created one level at a time, each relative to its parent.
      std::string level = first;
      for (auto at = rest.find('\\'); at != std::string::npos; at = rest.find('\\')) {
        // A level that cannot be entered or made shows in the final test below.
        IgnoreFailure([&] { return os.fs.changeFolder(level); });
        const std::string name = rest.substr(0, at);
        rest.erase(0, at + 1);
        if (FolderMissing(os, name)) IgnoreFailure([&] { return os.fs.createFolder(name); });
        level = name;
      }
    }
    ChangeToFolder(os, remembered);
  }
  return !FolderMissing(os, full);
}

std::string MakeTempFile(RunContext& ctx, const std::string& prefix) {
  std::string made;
  // Only in the run's private folder, never where other users could read or
  // replace it. No file: the empty name tells the caller, whose writes then
  // log their failures.
  if (ctx.workingFolder.empty()) return made;
  IgnoreFailure([&] { made = ctx.os.fs.createTempFile(ctx.workingFolder, prefix); });
  return made;
}

double NumOrDefault([[maybe_unused]] RunContext& ctx, const platform::PropertyValue& value, double fallback) {
  switch (value.kind) {
    case Kind::Empty:
      return 0;  // an unset value counts as zero
    case Kind::Integer:
      return static_cast<double>(value.integer);
    case Kind::Real:
      return value.real;
    case Kind::Boolean:
      return value.boolean ? -1 : 0;
    case Kind::Text:
      return ParseNumber(value.text).value_or(fallback);
    default:  // null, objects, lists and dates are no numbers
      return fallback;
  }
}

double NumOrDefault(RunContext& ctx, const std::string& text, double fallback) {
  return NumOrDefault(ctx, platform::PropertyValue::ofText(text), fallback);
}

}  // namespace th

#include "ledger/win11/verdict.h"

#include <cstdio>
#include <vector>

#include "ledger/checks/end_of_support.h"
#include "ledger/text/ascii_lower.h"
#include "ledger/store/win11_plan.h"
#include "ledger/win11/processor.h"

namespace th::ledger {

namespace {

enum class Check { Pass, Fail, Unknown };


bool Has(std::string_view text, std::string_view word) { return text.find(word) != std::string_view::npos; }

// Whole words only ("xen", not "xenon").
bool HasWord(const std::string& text, std::string_view word) {
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); };
    const std::size_t end = at + word.size();
    if ((at == 0 || !letter(text[at - 1])) && (end >= text.size() || !letter(text[end]))) return true;
  }
  return false;
}

// The leading digits of a value ("8388608", "8,388,608 KB" reads 8).
std::optional<long long> Digits(std::string_view s) {
  if (s.empty() || s[0] < '0' || s[0] > '9') return std::nullopt;
  long long n = 0;
  for (char c : s) {
    if (c < '0' || c > '9' || n > 1'000'000'000'000LL) break;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::string Gb(double gb) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", gb);
  return buf;
}

const std::string* Fact(const PcFacts& pc, PlatformFact f) {
  if (!pc.platform || !pc.platform->facts[f]) return nullptr;
  return &*pc.platform->facts[f];
}

bool IsVirtual(const PcFacts& pc) {
  const std::string text = AsciiLower(pc.maker + " " + pc.model);
  for (std::string_view w : {"vmware", "virtualbox", "innotek", "qemu", "xen", "kvm", "virtual machine", "parallels",
                             "bochs", "hvm domu"}) {
    if (HasWord(text, w)) return true;
  }
  return false;
}

// Windows' own upgrade verdict for its newest target ("GE24H2 Red CpuFms
// Tpm"): what it blocks on. Nothing when absent, or when a bypass mark says
// a tool has been at it.
struct WindowsVerdict {
  std::string shown;   // the target's line, as the basis shows it
  std::string blocks;  // the RedReason tokens, lower case, blank-separated
  bool blocked(std::string_view token) const { return HasWord(blocks, token); }
};

std::optional<WindowsVerdict> WindowsSays(const PcFacts& pc) {
  const std::string* text = Fact(pc, kAppraiser);
  const std::string* bypass = Fact(pc, kBypass);
  if (!text || (bypass && !bypass->empty())) return std::nullopt;
  std::string best;
  std::size_t from = 0;
  while (from <= text->size()) {
    const std::size_t end = std::min(text->find(';', from), text->size());
    const std::string entry = text->substr(from, end - from);
    if (!entry.empty() && entry > best) best = entry;  // GE25H2 after GE24H2
    from = end + 1;
  }
  const std::size_t blank = best.find(' ');
  if (blank == std::string::npos || blank + 1 == best.size()) return std::nullopt;
  return WindowsVerdict{best, AsciiLower(best.substr(blank + 1))};
}

CpuDecision DecideCpu(const PcFacts& pc) {
  CpuDecision cpu;
  if (const std::string* vendor = Fact(pc, kCpuVendor); pc.platform) {
    CpuIdentity id{vendor ? std::string_view(*vendor) : std::string_view(), {}, std::nullopt, std::nullopt};
    if (const std::string* i = Fact(pc, kCpuIdentifier)) id.identifier = *i;
    if (const std::string* p = Fact(pc, kPlatformId)) id.platformId = Digits(*p);
    if (const std::string* a = Fact(pc, kArm81Atomics)) id.arm81Atomics = *a == "1";
    cpu = CpuByIdentity(id);
    if (cpu.support == Support::Unsupported && SupportedSevenGeneration(pc.cpu, pc.model)) {
      cpu = {Support::Supported, cpu.basis + "、Core i7-7820HQ（" + pc.model + "）は対応", false};
    }
    if (const auto windows = WindowsSays(pc); cpu.support == Support::Unknown && windows) {
      cpu = {windows->blocked("cpufms") ? Support::Unsupported : Support::Supported,
             "Windowsの判定（" + windows->shown + "）", false};
    }
    if (cpu.support != Support::Unknown) return cpu;
  }
  // An older record, or a record whose identity did not read: the name.
  CpuDecision byName = CpuByName(pc.cpu, pc.model);
  if (byName.support == Support::Unknown && !cpu.basis.empty()) byName.basis = cpu.basis + "、" + byName.basis;
  return byName;
}

struct Reasons {
  std::vector<std::string> items;
  void add(const std::string& s) { items.push_back(s); }
  std::string joined(const char* sep) const {
    std::string out;
    for (const std::string& s : items) out += (out.empty() ? "" : sep) + s;
    return out;
  }
};

}  // namespace

Win11Verdict DecideWin11(const PcFacts& pc, const std::string& today) {
  Win11Verdict v;
  const std::string caption = AsciiLower(pc.os);
  Reasons reasons, actions;

  // The processor.
  // What the record leaves unknown, Windows' own verdict settles: a
  // requirement it does not block on is met.
  const std::optional<WindowsVerdict> windows = WindowsSays(pc);
  const auto settle = [&](Check& check, std::string_view token, const std::string& unknown, const std::string& failed) {
    if (check == Check::Unknown && windows) {
      check = windows->blocked(token) ? Check::Fail : Check::Pass;
      if (check == Check::Fail) reasons.add(failed + "（Windowsの判定）");
    } else if (check == Check::Unknown) {
      reasons.add(unknown);
    }
  };
  const CpuDecision cpu = DecideCpu(pc);
  v.basis = cpu.basis;
  Check cpuCheck = cpu.support == Support::Supported ? Check::Pass
                   : cpu.support == Support::Unsupported ? Check::Fail : Check::Unknown;
  if (cpuCheck == Check::Fail) reasons.add("CPUが非対応");
  if (cpuCheck == Check::Unknown) reasons.add("CPUの対応が不明");
  if (cpu.review) reasons.add("CPUは新しい世代（要確認）");
  if (const std::string* n = Fact(pc, kLogicalProcessors); n && Digits(*n) && *Digits(*n) < 2) {
    reasons.add("論理プロセッサーが2未満");
    cpuCheck = Check::Fail;
  }

  // Memory: installed; an older record's visible memory, estimated.
  Check memory = Check::Unknown;
  const std::string* installed = Fact(pc, kMemoryInstalledKb);
  if (const auto kb = installed ? Digits(*installed) : std::nullopt; kb && *kb > 0) {
    v.memoryGb = static_cast<double>(*kb) / 1048576.0;
    memory = *v.memoryGb >= 4.0 ? Check::Pass : Check::Fail;
    if (memory == Check::Fail) reasons.add("メモリ4GB未満（実装 " + Gb(*v.memoryGb) + " GB）");
  } else if (const auto visible = Digits(pc.visibleMemoryKb); visible && *visible > 0) {
    v.memoryGb = static_cast<double>(*visible) / 1048576.0;
    v.memoryEstimated = true;
    memory = *v.memoryGb >= 3.5 ? Check::Pass : *v.memoryGb < 3.0 ? Check::Fail : Check::Unknown;
    if (memory == Check::Fail) reasons.add("メモリ4GB未満（表示 " + Gb(*v.memoryGb) + " GB から推定）");
    settle(memory, "memory", "メモリが4GBか不明（表示 " + Gb(*v.memoryGb) + " GB）", "メモリ4GB未満");
  } else {
    settle(memory, "memory", "メモリ容量が不明", "メモリ4GB未満");
  }

  // The system volume, rounded to whole GiB as Microsoft's script does.
  Check disk = Check::Unknown;
  if (const auto mb = Digits(pc.systemDiskMb); mb && *mb > 0) {
    v.systemDriveGb = static_cast<double>(*mb) / 1024.0;
    disk = *v.systemDriveGb >= 63.5 ? Check::Pass : Check::Fail;
    if (disk == Check::Fail) reasons.add("システムドライブ64GB未満（" + Gb(*v.systemDriveGb) + " GB）");
  } else {
    settle(disk, "systemdrivesize", "システムドライブの容量が不明", "システムドライブ64GB未満");
  }

  // TPM, firmware, Secure Boot: only the Platform lines know them.
  Check tpm = Check::Unknown, firmware = Check::Unknown, secureBoot = Check::Unknown;
  if (const std::string* t = Fact(pc, kTpmVersion)) {
    v.tpm = *t == "none" ? "なし" : *t;
    tpm = *t == "2.0" ? Check::Pass : *t == "none" || *t == "1.2" ? Check::Fail : Check::Unknown;
  }
  if (tpm == Check::Fail) reasons.add(v.tpm == "なし" ? "TPMなし（ファームウェアで無効の可能性）" : "TPM " + v.tpm);
  settle(tpm, "tpm", "TPMが不明", "TPM 2.0なし");
  if (const std::string* f = Fact(pc, kFirmwareType)) {
    v.firmware = *f;
    firmware = *f == "UEFI" ? Check::Pass : *f == "BIOS" ? Check::Fail : Check::Unknown;
  }
  if (firmware == Check::Fail) reasons.add("レガシーBIOS");
  settle(firmware, "uefisecureboot", "ファームウェアが不明", "UEFIでない");
  const std::string* capable = Fact(pc, kSecureBootCapable);
  const std::string* enabled = Fact(pc, kSecureBootEnabled);
  if (capable) {
    // Capable is what counts: Secure Boot merely off passes.
    secureBoot = *capable == "1" ? Check::Pass : *capable == "0" ? Check::Fail : Check::Unknown;
    v.secureBoot = enabled && *enabled == "1" ? "有効" : *capable == "1" ? "無効（対応）" : *capable == "0" ? "非対応" : "";
  }
  if (secureBoot == Check::Fail && firmware != Check::Fail) reasons.add("セキュアブート非対応");
  settle(secureBoot, "uefisecureboot", "セキュアブートが不明", "セキュアブート非対応");

  // Windows itself.
  const std::string* arch = Fact(pc, kArchitecture);
  const bool windows32 = (arch && *arch == "x86") || Has(caption, "32 ビット") || Has(caption, "32-bit") ||
                         Has(caption, "32ビット") || Has(caption, "32 bit");
  if (windows32) reasons.add("32ビット版Windows");
  const std::string* build = Fact(pc, kOsBuild);
  const bool windows11 = (build && Digits(*build) && *Digits(*build) >= 22000) || HasWord(caption, "windows 11");
  const bool longTerm = HasWord(caption, "ltsc") || HasWord(caption, "ltsb");
  const std::optional<std::string> endOfSupport = WindowsEndOfSupport(pc.os);
  const std::string* display = Fact(pc, kOsDisplayVersion);
  v.osVersion = display ? *display : pc.osVersion;

  const std::string chassis = AsciiLower(pc.chassis);
  for (std::string_view w : {"portable", "laptop", "notebook", "hand held", "sub notebook", "tablet", "convertible",
                             "detachable"}) {
    if (chassis == w) v.form = "notebook";
  }
  for (std::string_view w : {"desktop", "low profile desktop", "pizza box", "mini tower", "tower", "all in one",
                             "space-saving", "lunch box", "sealed-case pc", "mini pc", "stick pc"}) {
    if (chassis == w) v.form = "desktop";
  }

  const bool partsShort = memory == Check::Fail || disk == Check::Fail;
  const bool settings = tpm == Check::Fail || firmware == Check::Fail || secureBoot == Check::Fail || windows32;
  const bool allPass = cpuCheck == Check::Pass && memory == Check::Pass && disk == Check::Pass &&
                       tpm == Check::Pass && firmware == Check::Pass && secureBoot == Check::Pass && !windows32;
  if (Has(caption, "server") || (longTerm && endOfSupport && *endOfSupport >= today)) {
    v.verdict = kWin11Verdicts[7];
    reasons.items = {Has(caption, "server") ? "サーバーOS" : "LTSC（サポート終了 " + *endOfSupport + "）"};
  } else if (IsVirtual(pc)) {
    v.verdict = kWin11Verdicts[4];
    actions.add("ホストで仮想TPM 2.0・UEFI（セキュアブート）・2 vCPU・4 GBを割り当てる");
  } else if (windows11) {
    v.verdict = kWin11Verdicts[5];
    Reasons finding;
    if (cpuCheck == Check::Fail) finding.add("非対応のCPUでWindows 11が動作");
    if (const std::string* b = Fact(pc, kBypass); b && !b->empty()) finding.add("要件回避の痕跡（" + *b + "）");
    v.finding = finding.joined("、");
    if (!v.finding.empty()) actions.add("更新が保証されない: 対応PCへの買い替えを検討");
    reasons = finding;
  } else if (cpuCheck == Check::Fail) {
    v.verdict = kWin11Verdicts[3];
    actions.add("新しいPCに買い替え");
  } else if (cpuCheck == Check::Pass && partsShort) {
    v.verdict = kWin11Verdicts[2];
    v.needsMemory = memory == Check::Fail;
    v.needsSsd = disk == Check::Fail;
    if (v.needsMemory) actions.add("メモリを4GB以上に増設");
    if (v.needsSsd) actions.add("システムドライブを64GB以上のSSDに交換");
  } else if (cpuCheck == Check::Pass && settings && memory == Check::Pass && disk == Check::Pass) {
    v.verdict = kWin11Verdicts[1];
    if (tpm == Check::Fail) actions.add("ファームウェア設定でTPM（Intel PTT / AMD fTPM）を有効にする");
    if (firmware == Check::Fail) actions.add("MBR2GPTでディスクを変換し、UEFIで起動する");
    if (secureBoot == Check::Fail && firmware != Check::Fail) actions.add("ファームウェア設定でセキュアブートを使えるようにする");
    if (windows32) actions.add("64ビット版Windowsを入れ直す");
  } else if (allPass) {
    v.verdict = kWin11Verdicts[0];
  } else {
    v.verdict = kWin11Verdicts[6];
    actions.add("現在のクライアントで再収集する");
  }
  v.reasons = reasons.joined("、");
  v.action = actions.joined("、");
  v.esu = HasWord(caption, "windows 10") && !longTerm && (v.verdict != kWin11Verdicts[7]) && !windows11;
  return v;
}

}  // namespace th::ledger

#include "ledger/win11/processor.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>
#include <vector>

#include "ledger/text/ascii_lower.h"
#include "ledger/win11/cpu_lists.h"  // generated from cpu_lists/*.txt

namespace th::ledger {

namespace {

bool HasDigit(std::string_view w) { return std::any_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; }); }


void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
    s.replace(at, from.size(), to);
  }
}

// The family words that name a processor's brand, and the makers' words
// that stand for it when no family word is written ("AMD 3015e", "Intel N100").
constexpr std::string_view kFamilies[] = {"core",   "xeon",   "celeron", "pentium", "atom",    "ryzen",
                                          "athlon", "epyc",   "sempron", "phenom",  "opteron", "snapdragon",
                                          "microsoft"};
constexpr std::pair<std::string_view, std::string_view> kMakers[] = {
    {"intel", "intel"}, {"amd", "amd"}, {"qualcomm", "snapdragon"}};

// The name's words, lower case, with the marks, clock, graphics and the
// words every name carries removed.
std::vector<std::string> Words(std::string_view name, std::string_view& maker) {
  std::string s = AsciiLower(name);
  if (const std::size_t at = s.find('@'); at != std::string::npos) s.resize(at);
  if (const std::size_t at = s.find(" with "); at != std::string::npos) s.resize(at);
  for (std::string_view mark : {"(r)", "(tm)", "\xC2\xAE", "\xE2\x84\xA2", ","}) ReplaceAll(s, mark, " ");
  // The lists write "i5+8400" for "i5-8400" once.
  for (std::size_t at = s.find('+'); at != std::string::npos; at = s.find('+', at + 1)) {
    if (at >= 2 && s[at - 2] == 'i' && at + 1 < s.size() && HasDigit(s.substr(at + 1, 1))) s[at] = '-';
  }
  std::vector<std::string> words;
  std::size_t from = 0;
  while (from < s.size()) {
    const std::size_t end = std::min(s.find(' ', from), s.size());
    std::string w = s.substr(from, end - from);
    from = end + 1;
    if (w.empty() || w == "-" || w == "cpu" || w == "processor" || w == "apu") continue;
    if (w.size() > 5 && w.ends_with("-core")) continue;  // "6-Core", "Six-Core"
    if (w == "gen" && !words.empty() && (words.back().ends_with("th") || words.back().ends_with("st") ||
                                         words.back().ends_with("nd") || words.back().ends_with("rd"))) {
      words.pop_back();  // "11th Gen"
      continue;
    }
    bool isMaker = false;
    for (const auto& [word, brand] : kMakers) {
      if (w == word) {
        if (maker.empty()) maker = brand;
        isMaker = true;
      }
    }
    if (!isMaker) words.push_back(std::move(w));
  }
  return words;
}

std::string Key(std::string_view name, std::string_view defaultBrand) {
  std::string_view maker;
  const std::vector<std::string> words = Words(name, maker);
  std::string brand;
  for (const std::string& w : words) {
    if (std::find(std::begin(kFamilies), std::end(kFamilies), w) != std::end(kFamilies)) {
      brand = w;
      break;
    }
  }
  if (brand.empty()) brand = maker.empty() ? defaultBrand : maker;
  // The model token: the last word with a digit; Snapdragon's "8cx Gen 3"
  // and Xeon's "E3-1505M v6" whole; the lists' "Ultra 5-125H" as "125H".
  std::size_t at = words.size();
  while (at > 0 && !HasDigit(words[at - 1])) --at;
  if (at == 0) return {};
  std::string token = words[at - 1];
  if (at >= 3 && words[at - 2] == "gen") token = words[at - 3] + "gen" + token;
  if (at >= 2 && token.size() >= 2 && token[0] == 'v' && HasDigit(token)) token = words[at - 2] + token;  // "E3-1505M v6"
  if (token.size() > 2 && token[0] >= '0' && token[0] <= '9' && token[1] == '-') token.erase(0, 2);
  token.erase(std::remove(token.begin(), token.end(), '-'), token.end());
  return brand + " " + token;
}

struct Lists {
  std::unordered_set<std::string> supported;
  std::string date;
};

const Lists& SupportedNames() {
  static const Lists lists = [] {
    Lists l;
    for (const auto& [text, brand] : {std::pair{kIntelCpus, "intel"}, {kAmdCpus, "amd"}, {kQualcommCpus, "snapdragon"}}) {
      std::string_view rest = text;
      bool first = true;
      while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {  // "2025.10.6"
          first = false;
          if (l.date.empty()) {
            int y = 0, m = 0, d = 0;
            if (std::sscanf(std::string(line).c_str(), "%d.%d.%d", &y, &m, &d) == 3) {
              char buf[16];
              std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
              l.date = buf;
            }
          }
          continue;
        }
        if (line.empty() || line == "EOF") continue;
        const std::string key = Key(line, brand);
        if (!key.empty()) l.supported.insert(key);
      }
    }
    return l;
  }();
  return lists;
}

// Names under which both supported and unsupported processors were sold:
// Ryzen 5 1600 and Ryzen 3 1200 ("AE": Zen, "AF": Zen+) report one name.
constexpr std::string_view kSharedNames[] = {"ryzen 1600", "ryzen 1200"};

constexpr std::string_view kSevenTwentyHq = "core i77820hq";

// "Family 6 Model 158 Stepping 10" anywhere in the identifier.
std::optional<long long> NumberAfter(std::string_view identifier, std::string_view word) {
  const std::string lower = AsciiLower(identifier);
  const std::string w = AsciiLower(word) + " ";
  const std::size_t at = lower.find(w);
  if (at == std::string::npos) return std::nullopt;
  std::size_t i = at + w.size();
  if (i >= lower.size() || !HasDigit(lower.substr(i, 1))) return std::nullopt;
  long long n = 0;
  for (; i < lower.size() && lower[i] >= '0' && lower[i] <= '9' && n < 100000; ++i) n = n * 10 + (lower[i] - '0');
  return n;
}

CpuDecision Decided(Support s, std::string basis, bool review = false) { return {s, std::move(basis), review}; }

}  // namespace

std::string CpuNameKey(std::string_view name) { return Key(name, ""); }

std::string CpuListDate() { return SupportedNames().date; }

CpuDecision CpuByIdentity(const CpuIdentity& cpu) {
  const std::string vendor = AsciiLower(cpu.vendor);
  if (vendor.find("qualcomm") != std::string::npos || AsciiLower(cpu.identifier).starts_with("arm")) {
    if (!cpu.arm81Atomics) return Decided(Support::Unknown, "CPUID規則: ARMv8.1アトミック命令の有無が不明");
    return *cpu.arm81Atomics ? Decided(Support::Supported, "CPUID規則（ARM64、ARMv8.1アトミック命令あり）")
                             : Decided(Support::Unsupported, "CPUID規則（ARM64、ARMv8.1アトミック命令なし）");
  }
  if (vendor.empty()) return Decided(Support::Unknown, "CPUID規則: ベンダーが不明");
  const auto family = NumberAfter(cpu.identifier, "Family");
  const auto model = NumberAfter(cpu.identifier, "Model");
  const auto stepping = NumberAfter(cpu.identifier, "Stepping");
  if (vendor != "genuineintel" && vendor != "authenticamd") {
    return Decided(Support::Unsupported, "CPUID規則（対象外のベンダー " + std::string(cpu.vendor) + "）");
  }
  if (!family || !model || !stepping) return Decided(Support::Unknown, "CPUID規則: CPUの識別子を読めない");
  const std::string fms = std::string(vendor == "genuineintel" ? "Intel" : "AMD") + " Family " +
                          std::to_string(*family) + " Model " + std::to_string(*model) + " Stepping " +
                          std::to_string(*stepping);
  const auto rule = [&](Support s) { return Decided(s, "CPUID規則（" + fms + "）"); };
  if (vendor == "authenticamd") {
    if (*family <= 22 || (*family == 23 && (*model == 1 || *model == 17))) return rule(Support::Unsupported);
    return rule(Support::Supported);
  }
  if (*family == 15 || *family < 6) return rule(Support::Unsupported);
  if (*family > 6) return Decided(Support::Supported, "CPUID規則（" + fms + "、新しい世代: 要確認）", true);
  if (*model <= 95) return rule(*model == 85 ? Support::Supported : Support::Unsupported);
  if ((*model == 142 || *model == 158) && *stepping == 9) {
    if (!cpu.platformId) return Decided(Support::Unknown, "CPUID規則（" + fms + "）: Platform IDが不明");
    const long long wanted = *model == 142 ? 16 : 8;
    return Decided(*cpu.platformId == wanted ? Support::Supported : Support::Unsupported,
                   "CPUID規則（" + fms + "、Platform ID " + std::to_string(*cpu.platformId) + "）");
  }
  return rule(Support::Supported);
}

CpuDecision CpuByName(std::string_view name, std::string_view pcModel) {
  const std::string key = CpuNameKey(name);
  const Lists& lists = SupportedNames();
  if (key.empty()) return Decided(Support::Unknown, "CPU名がない");
  if (std::find(std::begin(kSharedNames), std::end(kSharedNames), key) != std::end(kSharedNames)) {
    return Decided(Support::Unknown, "名前では判断できない（同じ名前で対応・非対応の両方がある）");
  }
  if (key == kSevenTwentyHq && !SupportedSevenGeneration(name, pcModel)) {
    return Decided(Support::Unsupported, "対応CPU一覧（" + lists.date + "）: Surface Studio 2 と Precision 5520 のみ");
  }
  if (lists.supported.count(key)) return Decided(Support::Supported, "対応CPU一覧（" + lists.date + "）");
  // Core i3/i5/i7 of the 2nd to 7th generations: "core i72600", "core i57200u".
  const std::string_view token = std::string_view(key).substr(key.find(' ') + 1);
  if (key.starts_with("core i") && token.size() >= 6 && (token[1] == '3' || token[1] == '5' || token[1] == '7') &&
      token[2] >= '2' && token[2] <= '7' && std::all_of(token.begin() + 3, token.begin() + 6, [](char c) {
        return c >= '0' && c <= '9';
      }) && (token.size() == 6 || !HasDigit(token.substr(6)))) {
    return Decided(Support::Unsupported, "名前から推定（第2～7世代Core、対応CPU一覧（" + lists.date + "）になし）");
  }
  return Decided(Support::Unknown, "名前では判断できない（対応CPU一覧（" + lists.date + "）になし）");
}

bool SupportedSevenGeneration(std::string_view cpuName, std::string_view pcModel) {
  if (CpuNameKey(cpuName) != kSevenTwentyHq) return false;
  const std::string model = AsciiLower(pcModel);
  return model.find("surface studio 2") != std::string::npos || model.find("precision 5520") != std::string::npos;
}

}  // namespace th::ledger

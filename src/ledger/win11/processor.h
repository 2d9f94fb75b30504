#pragma once
// Whether Windows 11 supports a PC's processor: by Microsoft's CPUID rule
// when the record names the processor's family, model and stepping, else by
// the dated lists of supported names.
#include <optional>
#include <string>
#include <string_view>

namespace th::ledger {

enum class Support { Supported, Unsupported, Unknown };

struct CpuDecision {
  Support support = Support::Unknown;
  std::string basis;    // 根拠, as the plan shows it
  bool review = false;  // supported by a rule that predates the processor: have a person confirm it
};

struct CpuIdentity {
  std::string_view vendor;      // GenuineIntel, AuthenticAMD, Qualcomm Technologies Inc
  std::string_view identifier;  // "Intel64 Family 6 Model 158 Stepping 10"
  std::optional<long long> platformId;
  std::optional<bool> arm81Atomics;
};

// Microsoft's rule, with Intel's families above 6 (other than 15) taken as
// new generations: supported, for review. Unknown when the identifier does
// not read or a fact it needs is missing (a stepping 9 without platform id).
CpuDecision CpuByIdentity(const CpuIdentity& cpu);

// By the processor's name: the lists' exact model token with its brand;
// Intel Core i3/i5/i7 of the 2nd to 7th generations not listed are
// unsupported (estimated); a name shared by supported and unsupported
// silicon, and any other name, unknown. Core i7-7820HQ, listed, is
// supported only in a Surface Studio 2 or a Precision 5520 (`pcModel`).
CpuDecision CpuByName(std::string_view name, std::string_view pcModel);

// Core i7-7820HQ in a Surface Studio 2 or a Precision 5520: supported though
// the CPUID rule rejects its model and stepping.
bool SupportedSevenGeneration(std::string_view cpuName, std::string_view pcModel);

// "<brand> <model token>" of a processor's name as the lists are matched
// ("core i78700k", "ryzen 5600x", "xeon w2123"); '' when the name has no
// token. Exposed for the golden list of names.
std::string CpuNameKey(std::string_view name);

// The lists' date, 'YYYY-MM-DD'.
std::string CpuListDate();

}  // namespace th::ledger

#pragma once
// When Microsoft ends security updates for a Windows client release, told by
// its caption as the PCs report it ("Microsoft Windows 10 Pro 64 ビット").
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace th::ledger {

// 'YYYY-MM-DD', the last day of support; nothing when the caption does not
// tell (servers, embedded editions, anything else). Windows 11 outside its
// LTSC is dated by its feature version (`featureVersion`, "23H2", as the
// record's Platform lines give it) and edition: Enterprise and Education get
// a year more than Home and Pro (Pro Education included); without a
// version it has no date. The dates and their sources are listed in
// docs/ledger.md.
std::optional<std::string> WindowsEndOfSupport(std::string_view caption, std::string_view featureVersion = {});

// Every date the tables above hold (each a Patch Tuesday).
std::vector<std::string> WindowsEndOfSupportDates();

}  // namespace th::ledger

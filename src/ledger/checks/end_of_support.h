#pragma once
// When Microsoft ends security updates for a Windows client release, told by
// its caption as the PCs report it ("Microsoft Windows 10 Pro 64 ビット").
#include <optional>
#include <string>
#include <string_view>

namespace th::ledger {

// 'YYYY-MM-DD', the last day of support; nothing when the caption does not
// tell (Windows 11 outside its LTSC, servers, embedded editions, anything
// else). The dates and their sources are listed in docs/ledger.md.
std::optional<std::string> WindowsEndOfSupport(std::string_view caption);

}  // namespace th::ledger

#pragma once
// UTF-8 written a character at a time, and UTF-16 (what Excel's "Unicode
// text" saves) read into UTF-8.
#include <string>
#include <string_view>

namespace th::ledger {

// Appends `c` to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// UTF-16LE bytes (without their BOM) as UTF-8. An unpaired surrogate, and an
// odd last byte, become U+FFFD: nothing is dropped unseen.
std::string Utf8FromUtf16Le(std::string_view bytes);

}  // namespace th::ledger

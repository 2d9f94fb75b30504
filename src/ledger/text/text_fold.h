#pragma once
// Folding names typed by people and programs into one spelling, so that
// "Microsoft Corporation", "Ｍｉｃｒｏｓｏｆｔ Corporation　" and
// " Microsoft Corporation" count as one, and "ｿﾌﾄ" as "ソフト".
//
// The fold is a compact NFKC of our own, the same in every build (no ICU, no
// Windows NormalizeString, which could differ between machines). It covers
// what Japanese PCs' names carry:
//   - full-width ASCII (U+FF01-FF5E) and the full-width signs ￠￡￢￤￥￦;
//   - the ideographic space, no-break space and the typographic spaces;
//   - half-width katakana and punctuation (U+FF61-FF9F), their voiced and
//     semi-voiced marks composed with the kana before them (ｶﾞ -> ガ), as are
//     the combining marks U+3099/U+309A after full-width kana;
//   - the common compatibility characters of code page 932: ①-⑳, Ⅰ-Ⅻ and
//     ⅰ-ⅻ, ¹²³, ™ № ℡, ㈱ ㈲ ㈹, ㍻ ㍼ ㍽ ㍾ ㋿ and the squared units (㍉ ㌔ ㌢ ㍍
//     ㌘ ㌧ ㌦ ㍑ ㎏ ㎝ ㎞ ㎡ ㎜ ㎎).
// Not covered: other compatibility characters (fractions, ligatures, Latin
// letters with separate combining accents), which stay as they are. Bytes
// that are not UTF-8 pass through unchanged.
#include <string>
#include <string_view>

namespace th::ledger {

// The name folded as above, with blanks (ASCII, ideographic and the other
// spaces folded to ASCII) trimmed from both ends. Blanks inside stay.
std::string FoldName(std::string_view text);

// FoldName into `out` (its storage reused); a name that folding leaves as it
// is (plain ASCII, no blank at either end) is copied without more work.
void FoldNameInto(std::string_view text, std::string& out);

// FoldName with ASCII letters in lower case: a key for comparing names and
// identifiers case-insensitively ("ＡＢＣ-05-0012 " and "abc-05-0012" meet).
std::string FoldKey(std::string_view text);

}  // namespace th::ledger

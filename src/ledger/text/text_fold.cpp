#include "ledger/text/text_fold.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace th::ledger {

namespace {

// Half-width katakana and punctuation U+FF61-FF9F, in order, as full-width.
constexpr char16_t kHalfWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x3099, 0x309A};
static_assert(std::size(kHalfWidthKana) == 0xFF9F - 0xFF61 + 1);

constexpr char32_t kVoiced = 0x3099, kSemiVoiced = 0x309A;

// Characters that become a string of their own.
struct Expansion {
  char32_t from;
  const char* to;
};
constexpr Expansion kExpansions[] = {
    {0x00B2, "2"},      {0x00B3, "3"},       {0x00B9, "1"},        {0x2116, "No"},       {0x2121, "TEL"},
    {0x2122, "TM"},     {0x2160, "I"},       {0x2161, "II"},       {0x2162, "III"},      {0x2163, "IV"},
    {0x2164, "V"},      {0x2165, "VI"},      {0x2166, "VII"},      {0x2167, "VIII"},     {0x2168, "IX"},
    {0x2169, "X"},      {0x216A, "XI"},      {0x216B, "XII"},      {0x2170, "i"},        {0x2171, "ii"},
    {0x2172, "iii"},    {0x2173, "iv"},      {0x2174, "v"},        {0x2175, "vi"},       {0x2176, "vii"},
    {0x2177, "viii"},   {0x2178, "ix"},      {0x2179, "x"},        {0x217A, "xi"},       {0x217B, "xii"},
    {0x3231, "(株)"},   {0x3232, "(有)"},    {0x3239, "(代)"},     {0x32FF, "令和"},     {0x3314, "キロ"},
    {0x3318, "グラム"}, {0x3322, "センチ"},  {0x3326, "ドル"},     {0x3327, "トン"},     {0x3349, "ミリ"},
    {0x334D, "メートル"}, {0x3351, "リットル"}, {0x337B, "平成"},  {0x337C, "昭和"},     {0x337D, "大正"},
    {0x337E, "明治"},   {0x338E, "mg"},      {0x338F, "kg"},       {0x339C, "mm"},       {0x339D, "cm"},
    {0x339E, "km"},     {0x33A1, "m2"},      {0xFFE0, "\u00A2"},   {0xFFE1, "\u00A3"},   {0xFFE2, "\u00AC"},
    {0xFFE4, "\u00A6"}, {0xFFE5, "\u00A5"},  {0xFFE6, "\u20A9"},
};

static_assert(std::is_sorted(std::begin(kExpansions), std::end(kExpansions),
                             [](const Expansion& a, const Expansion& b) { return a.from < b.from; }));

bool IsSpace(char32_t c) { return c == 0x00A0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F; }

// The kana with a voiced (or semi-voiced) mark, or 0 when it takes none.
char32_t Compose(char32_t base, char32_t mark) {
  const bool katakana = base >= 0x30A0 && base <= 0x30FF;
  const char32_t k = katakana ? base : base + 0x60;  // hiragana: the katakana 0x60 above
  if (!katakana && !(base >= 0x3040 && base <= 0x309F)) return 0;
  char32_t out = 0;
  if (mark == kVoiced) {
    if ((k >= 0x30AB && k <= 0x30C1 && (k - 0x30AB) % 2 == 0) || k == 0x30C4 || k == 0x30C6 || k == 0x30C8) {
      out = k + 1;
    } else if (k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0) {
      out = k + 1;
    } else if (k == 0x30A6) {
      out = 0x30F4;
    } else if (k == 0x30FD) {
      out = 0x30FE;
    } else if (katakana && k >= 0x30EF && k <= 0x30F2) {
      out = k + 8;
    }
  } else if (k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0) {
    out = k + 2;
  }
  if (out == 0 || katakana) return out;
  return out == 0x30F4 ? 0x3094 : out == 0x30FE ? 0x309E : out - 0x60;
}

void Append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes the character at `i` (advancing past it); 0 with `i` unmoved when
// the bytes there are not well-formed UTF-8.
char32_t Decode(std::string_view s, std::size_t& i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  char32_t v = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    v = (v << 6) | (b(i + k) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (v < kMin[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  i += n;
  return v;
}

// Replaces the character written last, which began at `at`.
void ReplaceLast(std::string& out, std::size_t at, char32_t with) {
  out.resize(at);
  Append(out, with);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string FoldName(std::string_view text) {
  std::string out;
  FoldNameInto(text, out);
  return out;
}

void FoldNameInto(std::string_view text, std::string& out) {
  out.clear();
  if (!text.empty() && !IsBlank(text.front()) && !IsBlank(text.back()) &&
      std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    out.assign(text);
    return;
  }
  out.reserve(text.size());
  std::size_t lastAt = std::string::npos;  // where the last character written begins
  char32_t last = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {  // the common case
      lastAt = out.size();
      last = static_cast<unsigned char>(text[i]);
      out += text[i++];
      continue;
    }
    const std::size_t start = i;
    const char32_t decoded = Decode(text, i);
    char32_t c = decoded;
    if (c == 0) {  // not UTF-8: kept as it is
      out += text[i++];
      lastAt = std::string::npos;
      last = 0;
      continue;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
    else if (c >= 0xFF61 && c <= 0xFF9F) c = kHalfWidthKana[c - 0xFF61];
    else if (IsSpace(c)) c = ' ';
    if ((c == kVoiced || c == kSemiVoiced) && lastAt != std::string::npos) {
      if (const char32_t composed = Compose(last, c)) {
        ReplaceLast(out, lastAt, composed);
        last = 0;  // a composed kana takes no second mark
        continue;
      }
    }
    const auto* e = std::lower_bound(std::begin(kExpansions), std::end(kExpansions), c,
                                     [](const Expansion& x, char32_t v) { return x.from < v; });
    lastAt = out.size();
    if (c >= 0x2460 && c <= 0x2473) {  // ①-⑳
      out += std::to_string(c - 0x2460 + 1);
      last = 0;
    } else if (e != std::end(kExpansions) && e->from == c) {
      out += e->to;
      last = 0;
    } else {
      if (c == decoded) out.append(text.substr(start, i - start));  // as it was: its bytes
      else Append(out, c);
      last = c;
    }
  }
  const std::size_t begin = out.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) {
    out.clear();
    return;
  }
  out.erase(out.find_last_not_of(" \t\r\n") + 1);
  out.erase(0, begin);
}

std::string FoldKey(std::string_view text) {
  std::string key = FoldName(text);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return key;
}

}  // namespace th::ledger

#include "ledger/report/json_writer.h"

#include <charconv>
#include <string>

namespace th::ledger {
namespace {

// Length of the valid UTF-8 sequence at the start of s, 0 when invalid
// (overlong forms, surrogates and values above U+10FFFF count as invalid).
std::size_t Utf8Length(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t n;
  std::uint32_t cp;
  if (c >= 0xC2 && c <= 0xDF) n = 2, cp = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, cp = c & 0x0F;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, cp = c & 0x07;
  else return 0;
  if (s.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i) & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
  if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
  return n;
}

}  // namespace

void JsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (first_.empty()) return;
  if (!first_.back()) out_.sputc(',');
  first_.back() = false;
}

JsonWriter& JsonWriter::BeginArray() {
  Separate();
  out_.sputc('[');
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  out_.sputc(']');
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  out_.sputc('{');
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  out_.sputc('}');
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  String(name);
  out_.sputc(':');
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  Separate();
  static constexpr char hex[] = "0123456789abcdef";
  std::string& buf = buf_;
  buf.clear();
  buf += '"';
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t n = Utf8Length(text.substr(i));
      if (n == 0) {
        buf += "\xEF\xBF\xBD";
        ++i;
      } else {
        buf.append(text.substr(i, n));
        i += n;
      }
      continue;
    }
    if (c == '"' || c == '\\') {
      buf += '\\';
      buf += static_cast<char>(c);
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || c == 0x7F) {
      buf += "\\u00";
      buf += hex[c >> 4];
      buf += hex[c & 0xF];
    } else {
      buf += static_cast<char>(c);
    }
    ++i;
  }
  buf += '"';
  out_.sputn(buf.data(), static_cast<std::streamsize>(buf.size()));
  return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value) {
  Separate();
  // Millions of numbers in a large report: formatted without the stream's locale work.
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out_.sputn(digits, end - digits);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  out_.sputn(value ? "true" : "false", value ? 4 : 5);
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  out_.sputn("null", 4);
  return *this;
}

}  // namespace th::ledger

#pragma once
// A streaming JSON writer for the report's embedded data. Its output may sit
// inside an HTML <script> element: '<', '>' and '&' are written as \u escapes,
// so no value can close the element or open a comment, and text that is not
// valid UTF-8 is written with U+FFFD in place of the bad bytes.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace th::ledger {

class JsonWriter {
 public:
  // Writes straight to the stream's buffer: millions of values in a large
  // report, and the stream's checks around each write cost as much as the
  // value. What the buffer throws reaches the caller as it is.
  explicit JsonWriter(std::ostream& out) : out_(*out.rdbuf()) {}

  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view text);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

 private:
  void Separate();
  std::streambuf& out_;
  // One entry per open container: true until its first element is written.
  std::vector<bool> first_;
  bool afterKey_ = false;
  std::string buf_;  // a string's escaped text, its storage reused
};

}  // namespace th::ledger

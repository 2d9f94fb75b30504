#pragma once
// Loads WMI answers for FakeWmi from a fixture file in tests/unit/fixtures/wmi.
//
//   # a comment
//   query Select * from Win32_BIOS          the query's answer follows
//   instance                                 one instance, its properties in order:
//   Name = "text"   Name = 42   Name = 1.5   Name = true   Name = null
//   Name = empty    Name = object            Name = date "20180515000000.000000+000"
//   Name = ["a", "b"]   Name = [3, 10]   Name = []
//   !fail properties                         the instance's property list fails
//   !fail read PortName                      a named read fails
//   fails Select * from X | description      the query fails
//
// A query section with no instance answers with none; a query the file does
// not name fails, as an unknown class does. A later file replaces the
// answers of the queries it names.
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "fakes/fake_platform.h"

namespace th::test {

class WmiFixtureParser {
 public:
  explicit WmiFixtureParser(std::string text, std::string where) : s_(std::move(text)), where_(std::move(where)) {}

  platform::PropertyValue value() {
    using platform::PropertyValue;
    skipBlanks();
    if (peek() == '"') return PropertyValue::ofText(quoted());
    if (peek() == '[') {
      ++i_;
      std::vector<PropertyValue> items;
      skipBlanks();
      if (peek() == ']') {
        ++i_;
        return PropertyValue::ofArray(items);
      }
      while (true) {
        items.push_back(value());
        skipBlanks();
        const char c = take();
        if (c == ']') return PropertyValue::ofArray(items);
        if (c != ',') fail("',' or ']' expected");
      }
    }
    const std::string word = bare();
    if (word == "null") return PropertyValue::null();
    if (word == "empty") return PropertyValue::empty();
    if (word == "object") return PropertyValue::object();
    if (word == "true" || word == "false") return PropertyValue::ofBoolean(word == "true");
    if (word == "date") {
      skipBlanks();
      return PropertyValue::ofDate(quoted());
    }
    if (word.find('.') != std::string::npos) return PropertyValue::ofReal(std::stod(word));
    if (word.empty()) fail("value expected");
    std::size_t used = 0;
    const long long n = std::stoll(word, &used);
    if (used != word.size()) fail("unknown value " + word);
    return PropertyValue::ofInteger(n);
  }
  bool atEnd() {
    skipBlanks();
    return i_ >= s_.size();
  }

 private:
  char peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
  char take() { return i_ < s_.size() ? s_[i_++] : '\0'; }
  void skipBlanks() {
    while (peek() == ' ' || peek() == '\t') ++i_;
  }
  std::string quoted() {
    if (take() != '"') fail("'\"' expected");
    const auto end = s_.find('"', i_);
    if (end == std::string::npos) fail("unterminated text");
    std::string t = s_.substr(i_, end - i_);
    i_ = end + 1;
    return t;
  }
  std::string bare() {
    const std::size_t from = i_;
    while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != ']' && s_[i_] != ' ') ++i_;
    return s_.substr(from, i_ - from);
  }
  [[noreturn]] void fail(const std::string& why) const { throw std::runtime_error(where_ + ": " + why); }

  std::string s_;
  std::string where_;
  std::size_t i_ = 0;
};

inline std::filesystem::path WmiFixturePath(const std::string& name) {
  return std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / "wmi" / name;
}

inline void LoadWmiFixture(FakeWmi& wmi, const std::string& name) {
  std::ifstream in(WmiFixturePath(name));
  if (!in) throw std::runtime_error("no WMI fixture " + WmiFixturePath(name).string());
  std::vector<FakeWmi::Instance>* answer = nullptr;
  FakeWmi::Instance* instance = nullptr;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = name + ":" + std::to_string(number);
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    line.erase(0, first);

    if (line.rfind("query ", 0) == 0) {
      const std::string wql = line.substr(6);
      wmi.failures.erase(wql);
      answer = &wmi.answers[wql];
      answer->clear();
      instance = nullptr;
    } else if (line.rfind("fails ", 0) == 0) {
      const auto bar = line.find(" | ");
      if (bar == std::string::npos) throw std::runtime_error(where + ": fails needs ' | description'");
      const std::string wql = line.substr(6, bar - 6);
      wmi.answers.erase(wql);
      wmi.failures[wql] = line.substr(bar + 3);
      answer = nullptr;
      instance = nullptr;
    } else if (line == "instance") {
      if (!answer) throw std::runtime_error(where + ": instance outside a query");
      instance = &answer->emplace_back();
    } else if (line == "!fail properties") {
      if (!instance) throw std::runtime_error(where + ": no instance");
      instance->failProperties = true;
    } else if (line.rfind("!fail read ", 0) == 0) {
      if (!instance) throw std::runtime_error(where + ": no instance");
      instance->failingReads.insert(line.substr(11));
    } else {
      const auto eq = line.find(" = ");
      if (!instance || eq == std::string::npos) throw std::runtime_error(where + ": cannot read '" + line + "'");
      WmiFixtureParser parser(line.substr(eq + 3), where);
      instance->properties.emplace_back(line.substr(0, eq), parser.value());
      if (!parser.atEnd()) throw std::runtime_error(where + ": text after the value");
    }
  }
}

}  // namespace th::test

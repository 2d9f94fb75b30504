#include "collect/record_file.h"

#include <cmath>
#include <cstdio>

#include "platform/failure.h"
#include "support/error_log.h"
#include "support/text.h"
#include "support/text_file.h"

namespace th {

namespace {

using Kind = platform::PropertyValue::Kind;

std::string RealText(double d) {
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
  char buf[64];
  for (int precision = 1; precision <= 17; ++precision) {  // shortest text that reads back the same
    std::snprintf(buf, sizeof buf, "%.*G", precision, d);
    if (std::strtod(buf, nullptr) == d) break;
  }
  return buf;
}

// The text form of one scalar; a value with none (null, object) fails.
std::string ScalarText(const platform::PropertyValue& v) {
  switch (v.kind) {
    case Kind::Empty:
      return "";
    case Kind::Text:
    case Kind::Date:
      return v.text;
    case Kind::Integer:
      return std::to_string(v.integer);
    case Kind::Real:
      return RealText(v.real);
    case Kind::Boolean:
      return v.boolean ? "True" : "False";
    case Kind::Null:
      throw Failure("Null の使い方が不正です。");
    case Kind::Object:
    case Kind::Array:
      break;
  }
  throw Failure("型が一致しません。");
}

}  // namespace

std::string CleanField(std::string_view field) {
  // A line break inside a value would split the record in two.
  const std::string oneLine = OnOneLine(field, false);
  std::string s;
  s.reserve(oneLine.size());
  for (const char c : oneLine) {
    if (c != '"' && c != ',') s += c;
  }
  return TrimSpaces(s);
}

std::string RecordLine(const Record& r) {
  std::string line;
  for (const std::string* field : {&r.Key, &r.Group, &r.Item, &r.SubItem, &r.Contents, &r.Unit, &r.Renewalday}) {
    if (field != &r.Key) line += ',';
    line += CleanField(*field);
  }
  return line;
}

namespace {

void AppendLogged(RunContext& ctx, std::string_view procedure, const std::string& path, const std::string& line) {
  const platform::FileOutcome written = AppendTextLine(ctx.os, path, line);
  if (!written.done()) WriteErrorLog(ctx, procedure, written.failure);
}

}  // namespace

void SaveText(RunContext& ctx, const std::string& path, const std::string& line) {
  AppendLogged(ctx, "SaveText", path, line);
}

void SaveTextSet(RunContext& ctx) { AppendLogged(ctx, "SaveTextSet", ctx.recordFilePath, RecordLine(ctx.rec)); }

std::optional<std::string> CnvVal(RunContext& ctx, const platform::PropertyValue& value) {
  try {
    switch (value.kind) {
      case Kind::Object:
        return std::string("<CIM_OBJECT (embedded SWbemObject)>");
      case Kind::Null:
        return std::string();
      case Kind::Array: {
        std::string joined;
        for (std::size_t i = 0; i < value.items.size(); ++i) {
          if (i > 0) joined += ',';
          joined += ScalarText(value.items[i]);
        }
        return joined;
      }
      default:
        return ScalarText(value);
    }
  } catch (const Failure& e) {
    WriteErrorLog(ctx, "CnvVal", e.what());
    return std::nullopt;
  }
}

}  // namespace th

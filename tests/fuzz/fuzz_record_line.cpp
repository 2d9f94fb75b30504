// Record-line cleaning and CnvVal on arbitrary fields and values.
#include <algorithm>
#include <cstdint>
#include <string>

#include "collect/record_file.h"
#include "fakes/fake_platform.h"
#include "fuzz_support.h"
#include "support/error_log.h"

namespace {

using th::platform::PropertyValue;

// Builds a value from the input: a kind byte, then text or elements.
PropertyValue Value(std::string_view& in, int depth) {
  if (in.empty()) return PropertyValue::empty();
  const unsigned char kind = static_cast<unsigned char>(in[0]) % 9;
  in.remove_prefix(1);
  const std::size_t cut = std::min<std::size_t>(in.find('\x1f'), in.size());
  std::string piece(in.substr(0, cut));
  in.remove_prefix(std::min(in.size(), cut + 1));
  switch (kind) {
    case 0: return PropertyValue::null();
    case 1: return PropertyValue::object();
    case 2: return PropertyValue::ofInteger(static_cast<std::int64_t>(std::hash<std::string>{}(piece)));
    case 3: return PropertyValue::ofReal(piece.empty() ? 0.0 : static_cast<double>(piece[0]) / 7.0);
    case 4: return PropertyValue::ofBoolean(piece.size() % 2);
    case 5: {
      std::vector<PropertyValue> items;
      while (depth < 2 && !in.empty() && items.size() < 16) items.push_back(Value(in, depth + 1));
      return PropertyValue::ofArray(std::move(items));
    }
    case 6: return PropertyValue::ofDate(piece);
    case 7: return PropertyValue::empty();
    default: return PropertyValue::ofText(piece);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  th::test::FakePlatform p;
  th::RunContext ctx{p.os};
  ctx.recordFilePath = "C:\\r.csv";
  th::SetLogFile(ctx, "C:\\Error.Log");

  std::string* fields[] = {&ctx.rec.Key, &ctx.rec.Group, &ctx.rec.Item, &ctx.rec.SubItem,
                           &ctx.rec.Contents, &ctx.rec.Unit, &ctx.rec.Renewalday};
  for (std::string* f : fields) {
    const std::size_t cut = std::min<std::size_t>(in.find('\n'), in.size());
    *f = std::string(in.substr(0, cut));
    in.remove_prefix(std::min(in.size(), cut + 1));
  }
  const std::string line = th::RecordLine(ctx.rec);
  FUZZ_CHECK(std::count(line.begin(), line.end(), ',') == 6);
  FUZZ_CHECK(line.find('"') == std::string::npos);
  std::size_t start = 0;
  for (int i = 0; i < 7; ++i) {
    const std::size_t end = std::min(line.find(',', start), line.size());
    const std::string_view field(line.data() + start, end - start);
    FUZZ_CHECK(field.empty() || (field.front() != ' ' && field.back() != ' '));
    start = end + 1;
  }
  th::SaveTextSet(ctx);

  const PropertyValue v = Value(in, 0);
  const auto text = th::CnvVal(ctx, v);
  if (v.kind == PropertyValue::Kind::Text) FUZZ_CHECK(text == v.text);
  if (text) {
    ctx.rec.Contents = *text;
    th::SaveTextSet(ctx);
  }
  return 0;
}

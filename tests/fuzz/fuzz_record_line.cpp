// Record-line cleaning and CnvVal on arbitrary fields and values.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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
  // Now and then the record file refuses writes, so the failures reach the log.
  const bool refused = size % 3 == 0;
  if (refused) p.fs.unwritable.insert("C:\\r.csv");
  int saved = 0;

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
  ++saved;

  const PropertyValue v = Value(in, 0);
  const auto text = th::CnvVal(ctx, v);
  if (v.kind == PropertyValue::Kind::Text) FUZZ_CHECK(text == v.text);
  if (text) {
    ctx.rec.Contents = *text;
    th::SaveTextSet(ctx);
    ++saved;
  }

  // Whatever the values held, each record is one line of seven fields, and
  // each failure one line of the log.
  const auto lines = [&](const std::string& path) {
    std::vector<std::string> out;
    if (!p.fs.hasFile(path)) return out;
    const std::string bytes = p.fs.content(path);
    FUZZ_CHECK(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0);
    // Read back the way the program reads its own files: CR, LF or CR LF ends a line.
    auto reader = p.fs.openLines(path).value;
    for (std::string l; reader->next(l);) out.push_back(p.codePage.fromAnsi(l));
    return out;
  };
  if (refused) {
    FUZZ_CHECK(!p.fs.hasFile("C:\\r.csv"));
    // Log entries may span lines and very long ones are dropped; short ones all arrive.
    const std::string log = p.text("C:\\Error.Log");
    int entries = 0;
    for (std::size_t at = log.find("\tSaveTextSet\t"); at != std::string::npos; at = log.find("\tSaveTextSet\t", at + 1)) {
      ++entries;
    }
    if (size < 30000) FUZZ_CHECK(entries >= saved);
  } else {
    const auto records = lines("C:\\r.csv");
    FUZZ_CHECK(static_cast<int>(records.size()) == saved);
    for (const std::string& r : records) FUZZ_CHECK(std::count(r.begin(), r.end(), ',') == 6);
  }
  return 0;
}

#include "collect/collector_steps.h"

#include "collect/record_file.h"
#include "support/guard.h"

namespace th {

GuardedWmi::GuardedWmi(RunContext& ctx, std::string_view procedure) : ctx_(ctx), procedure_(procedure) {
  Guarded(ctx_, procedure_, [&] { connection_ = ctx_.os.wmi.connect(kWmiMoniker); });
}

GuardedWmi::Instances GuardedWmi::query(const std::string& wql) {
  Instances found;
  if (connection_) Guarded(ctx_, procedure_, [&] { found = connection_->query(wql); });
  return found;
}

std::vector<platform::Property> GuardedWmi::properties(platform::WmiInstance& instance) {
  std::vector<platform::Property> list;
  Guarded(ctx_, procedure_, [&] { list = instance.properties(); });
  return list;
}

std::optional<platform::PropertyValue> GuardedWmi::read(platform::WmiInstance& instance, const std::string& name) {
  std::optional<platform::PropertyValue> value;
  Guarded(ctx_, procedure_, [&] { value = instance.get(name); });
  return value;
}

std::string ValueText(RunContext& ctx, const platform::PropertyValue& value) {
  return CnvVal(ctx, value).value_or("");
}

void SaveRecord(RunContext& ctx, std::string subItem, std::string contents, std::string unit) {
  ctx.rec.SubItem = std::move(subItem);
  ctx.rec.Contents = std::move(contents);
  ctx.rec.Unit = std::move(unit);
  SaveTextSet(ctx);
}

bool SaveListed(RunContext& ctx, std::span<const PropertyRecord> table, std::string_view name,
                const platform::PropertyValue& value) {
  for (const PropertyRecord& row : table) {
    if (row.property != name) continue;
    if (row.group) {
      ctx.rec.Group = row.group;
      ctx.rec.Item = row.item;
    }
    SaveRecord(ctx, row.subItem, ValueText(ctx, value), row.unit);
    return true;
  }
  return false;
}

}  // namespace th

#pragma once
// The steps the collectors share. Each WMI step is guarded on its own: a
// failure writes one Error.Log entry under the collector's name and the step
// yields nothing, so the collector goes on with its next step.
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wmi.h"
#include "support/run_context.h"

namespace th {

inline constexpr const char* kWmiMoniker = "winmgmts:\\\\.\\root\\cimv2";

class GuardedWmi {
 public:
  using Instances = std::vector<std::unique_ptr<platform::WmiInstance>>;

  // Connects to the local root\cimv2 namespace.
  GuardedWmi(RunContext& ctx, std::string_view procedure);

  // No instance when the query fails, or when there is no connection (whose
  // failure was logged already).
  Instances query(const std::string& wql);
  // The instance's properties in its own order; none when the list fails.
  std::vector<platform::Property> properties(platform::WmiInstance& instance);
  // A property read by name; nullopt when the read fails.
  std::optional<platform::PropertyValue> read(platform::WmiInstance& instance, const std::string& name);

 private:
  RunContext& ctx_;
  std::string_view procedure_;
  std::unique_ptr<platform::WmiConnection> connection_;
};

// A value as record text: CnvVal's text, or the empty text when it has none.
std::string ValueText(RunContext& ctx, const platform::PropertyValue& value);

// Sets SubItem, Contents and Unit of the current record and writes it.
void SaveRecord(RunContext& ctx, std::string subItem, std::string contents, std::string unit = "");

// A WMI property that becomes one record of its own, its value as it is.
struct PropertyRecord {
  std::string_view property;
  const char* group;  // null: the record keeps its group and item
  const char* item;
  const char* subItem;
  const char* unit = "";
};

// Writes the value as the record of `name`'s row in the table; false when
// the table has no row for it.
bool SaveListed(RunContext& ctx, std::span<const PropertyRecord> table, std::string_view name,
                const platform::PropertyValue& value);

}  // namespace th

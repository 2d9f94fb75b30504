#pragma once
// The record file: a header and one comma-separated line per record, written
// by appending (open, write, close) so each record is complete on disk.
#include <optional>
#include <string>

#include "platform/wmi.h"
#include "shared/record_format.h"
#include "support/run_context.h"

namespace th {

// One field as written: double quotes and commas removed, line breaks made
// blanks, spaces trimmed.
std::string CleanField(std::string_view field);
// The seven cleaned fields joined by ",", without the line end.
std::string RecordLine(const Record& record);

// Appends the line unchanged (no cleaning) to a file.
void SaveText(RunContext& ctx, const std::string& path, const std::string& line);
// Appends the current record to the record file.
void SaveTextSet(RunContext& ctx);
// A WMI value as record text; nullopt (written as empty) when it has none.
std::optional<std::string> CnvVal(RunContext& ctx, const platform::PropertyValue& value);

}  // namespace th

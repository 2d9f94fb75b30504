#pragma once
// The facts of one collection that the summary columns, the checks and the
// exports need, drawn from its records in one pass.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/records/record_reader.h"

namespace th::ledger {

struct CollectionSummary {
  // 'YYYY-MM-DD HH:MM:SS' from the Create/DateTime record, else the
  // Renewalday as 'YYYY-MM-DD'; empty when the date there cannot be read.
  std::string collectedAt;
  std::string renewalday;   // 'YYYY-MM-DD' when it has that shape, else as written
  std::string_view computerName, systemUuid, surname, givenName, userName, os, osVersion, cpu, memory,
      systemDiskSize, systemDiskFree, totalDisk, maker, model, chassis, boardSerial, biosSerial;
  std::vector<std::string_view> macs, ips;
  int applications = 0;
  bool complete = false;  // ends with the asset-information records and was not cut off
  // A record's SubItem, Contents or Unit is longer in bytes than a
  // spreadsheet cell holds characters: the checks look at its records.
  bool longValue = false;
};

// The characters one spreadsheet cell holds.
constexpr std::size_t kCellChars = 32767;

CollectionSummary Summarise(const RecordFile& file);

// "2026/12/01" or "2026/1/5" as 'YYYY-MM-DD' when it is a day of the calendar
// (year from 1900); "09:05:07" or "9:05:07" as 'HH:MM:SS'.
std::optional<std::string> ParseDate(std::string_view date);
std::optional<std::string> ParseTime(std::string_view time);

// Values joined by single blanks.
std::string JoinBlank(const std::vector<std::string_view>& values);

}  // namespace th::ledger

#pragma once
// The facts of one collection that the summary columns, the checks and the
// exports need, drawn from its records in one pass.
#include <string>
#include <string_view>
#include <vector>

#include "ledger/record_reader.h"

namespace th::ledger {

struct CollectionSummary {
  std::string collectedAt;  // 'YYYY-MM-DD HH:MM:SS', else the Renewalday as 'YYYY-MM-DD'
  std::string renewalday;   // 'YYYY-MM-DD' when it has that shape, else as written
  std::string_view computerName, systemUuid, surname, givenName, userName, os, osVersion, cpu, memory,
      systemDiskSize, systemDiskFree, totalDisk, maker, model, chassis, boardSerial;
  std::vector<std::string_view> macs, ips;
  int applications = 0;
  bool complete = false;  // ends with the asset-information records and was not cut off
};

CollectionSummary Summarise(const RecordFile& file);

// Values joined by single blanks.
std::string JoinBlank(const std::vector<std::string_view>& values);

}  // namespace th::ledger

#pragma once
// One PC's current collection in GLPI's native inventory format (the JSON
// that GLPI's agents send and its "Import from file" takes). Only what the
// records hold is mapped; a value they lack is left out, never made up.
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace th::ledger {

struct StoredRecord {
  std::string group, item, subItem, contents, unit;
  bool placeholder = false;  // an identifier in the ledger's placeholder list: never sent
};

struct GlpiPc {
  std::string number;            // the management number
  std::string firstCollectedAt;  // of the number's first collection, as the database holds it
  std::string os;           // the OS caption and word size, without the service pack
  std::string osVersion;    // the service pack
  std::optional<std::string> tag;
  bool cutShort = false;  // the record file ends mid-line: its records are not the whole PC
  std::vector<StoredRecord> records;  // in the file's order
};

nlohmann::ordered_json GlpiInventory(const GlpiPc& pc);

// Whether a software record's Unit (product ID, else publisher, else install
// folder) is the publisher.
bool UnitIsPublisher(std::string_view unit);

}  // namespace th::ledger

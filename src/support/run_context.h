#pragma once
// The values that live for one whole run. The run sequence owns the one
// instance and passes it down; nothing else is process-wide.
#include <string>
#include <utility>

#include "platform/platform.h"

namespace th {

// The current record: collectors set the fields they change and call
// SaveTextSet; every field keeps its value until set again.
struct Record {
  std::string Key, Group, Item, SubItem, Contents, Unit, Renewalday;

  // Names the record to come and empties its value and unit.
  void Start(std::string group, std::string item, std::string subItem) {
    Group = std::move(group);
    Item = std::move(item);
    SubItem = std::move(subItem);
    Contents.clear();
    Unit.clear();
  }
};

struct LogSettings {
  std::string path;
  bool enabled = false;
};

struct RunContext {
  explicit RunContext(platform::Platform& platform) : os(platform) {}

  platform::Platform& os;
  Record rec;
  LogSettings log;
  std::string workingFolder;    // the run's private folder, ends in "\" (ClaimWorkingFiles)
  std::string recordFilePath;   // the working record file (GetKey)
  std::string outputFolder;     // ends in "\" (GetKey)
  std::string destinationPath;  // output folder + number + ".csv" (SaveInputData)
  // Shared between collectors, empty at the start of a run.
  std::string systemDrive;
  std::string recordedComputerName;
  std::string recordedOsVersion;
  // The entry form's values as they stood when its modal display ended.
  platform::EntryResult entry;
};

}  // namespace th

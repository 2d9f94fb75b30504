#pragma once
// The facts a record's Platform lines carry (processor identity, installed
// memory, firmware, TPM, Windows' build and its own upgrade verdict), read
// without elevation by clients that write them.
#include <array>
#include <optional>
#include <string>

#include "ledger/records/record_reader.h"

namespace th::ledger {

// The facts in collection_platform's column order.
enum PlatformFact {
  kCpuVendor, kCpuIdentifier, kPlatformId, kArm81Atomics, kLogicalProcessors, kArchitecture, kMemoryInstalledKb,
  kFirmwareType, kSecureBootCapable, kSecureBootEnabled, kSecureBootCa2023, kTpmVersion, kOsBuild, kOsUbr,
  kOsDisplayVersion, kOsEdition, kAppraiser, kBypass, kPlatformFacts
};

// collection_platform's column names, in PlatformFact order.
extern const std::array<const char*, kPlatformFacts> kPlatformColumns;

struct PlatformFacts {
  // Each fact as its line's Contents; absent when the line is missing or
  // its Contents empty (the client could not read it: Unit says why).
  // kAppraiser: "<target> <UpgEx> <RedReason...>" per target, joined by ';',
  // '' when the client found no target. kBypass: the marks, '' for none.
  std::array<std::optional<std::string>, kPlatformFacts> facts;
};

// Nothing when the file has no Platform,Section,Version line (an older client).
std::optional<PlatformFacts> ReadPlatformFacts(const RecordFile& file);

}  // namespace th::ledger

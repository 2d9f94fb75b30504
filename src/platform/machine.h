#pragma once
// What the system tells about the machine itself, as a standard user may
// ask it: processor, installed memory, firmware, Secure Boot and the TPM.
#include <cstdint>
#include <string>

#include "platform/reading.h"

namespace th::platform {

struct SecureBoot {
  bool capable = false;
  bool enabled = false;
};

class Machine {
 public:
  virtual ~Machine() = default;
  // The machine's processor architecture ("x64", "x86", "ARM64", "ARM"),
  // not the process's: a 32-bit program on 64-bit Windows says "x64".
  virtual Reading<std::string> architecture() = 0;
  virtual std::uint32_t logicalProcessors() = 0;
  // IsProcessorFeaturePresent: false also where this Windows does not know the feature.
  virtual bool processorFeature(std::uint32_t feature) = 0;
  // Memory installed in kilobytes, as the firmware tables tell it (some
  // virtual machines tell 0).
  virtual Reading<std::uint64_t> installedMemoryKb() = 0;
  // The firmware type as Windows numbers it: 1 BIOS, 2 UEFI.
  virtual Reading<std::uint32_t> firmwareType() = 0;
  virtual Reading<SecureBoot> secureBoot() = 0;
  // The TPM's version as Windows' TPM service numbers it (1: 1.2, 2: 2.0);
  // 0 when it found none (absent, or switched off in the firmware).
  virtual Reading<std::uint32_t> tpmVersion() = 0;
};

}  // namespace th::platform

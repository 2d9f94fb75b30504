#pragma once
// What the system tells about the machine, on Windows: the functions that
// Windows 7 lacks are looked up at run time and answer unsupported there.
#include "platform/machine.h"

namespace th::win32 {

class WinMachine : public platform::Machine {
 public:
  platform::Reading<std::string> architecture() override;
  std::uint32_t logicalProcessors() override;
  bool processorFeature(std::uint32_t feature) override;
  platform::Reading<std::uint64_t> installedMemoryKb() override;
  platform::Reading<std::uint32_t> firmwareType() override;
  platform::Reading<platform::SecureBoot> secureBoot() override;
  platform::Reading<std::uint32_t> tpmVersion() override;
};

}  // namespace th::win32

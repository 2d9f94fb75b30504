#include "platform/win32/win_machine.h"

#include <windows.h>

#include "platform/win32/system_function.h"

namespace th::win32 {

namespace {

using platform::Reading;

HMODULE Kernel32() { return GetModuleHandleW(L"kernel32.dll"); }

Reading<std::string> MachineName(USHORT imageMachine) {
  switch (imageMachine) {
    case IMAGE_FILE_MACHINE_AMD64:
      return std::string("x64");
    case IMAGE_FILE_MACHINE_I386:
      return std::string("x86");
    case 0xAA64:  // IMAGE_FILE_MACHINE_ARM64
      return std::string("ARM64");
    case IMAGE_FILE_MACHINE_ARMNT:
      return std::string("ARM");
    default:
      return platform::kUnsupported;
  }
}

Reading<std::string> ArchitectureName(WORD processorArchitecture) {
  switch (processorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
      return std::string("x64");
    case PROCESSOR_ARCHITECTURE_INTEL:
      return std::string("x86");
    case 12:  // PROCESSOR_ARCHITECTURE_ARM64
      return std::string("ARM64");
    case PROCESSOR_ARCHITECTURE_ARM:
      return std::string("ARM");
    default:
      return platform::kUnsupported;
  }
}

// SYSTEM_SECUREBOOT_INFORMATION, class 0x91 of NtQuerySystemInformation.
struct SecureBootInformation {
  BOOLEAN enabled;
  BOOLEAN capable;
};
constexpr ULONG kSystemSecureBootInformation = 0x91;
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002);
constexpr LONG kStatusInvalidInfoClass = static_cast<LONG>(0xC0000003);
constexpr LONG kStatusAccessDenied = static_cast<LONG>(0xC0000022);

// TPM_DEVICE_INFO of Tbsi_GetDeviceInfo, and the TPM service's codes.
struct TpmDeviceInfo {
  UINT32 structVersion, tpmVersion, tpmInterfaceType, tpmImpRevision;
};
constexpr UINT32 kTbsTpmNotFound = 0x8028400F;
constexpr UINT32 kTbsAccessDenied = 0x80284012;

}  // namespace

Reading<std::string> WinMachine::architecture() {
  // IsWow64Process2 (Windows 10 1511 on) tells the machine also to an x86
  // program emulated on ARM64, where GetNativeSystemInfo says x86.
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  if (const auto isWow64Process2 = SystemFunction<IsWow64Process2Fn>(Kernel32(), "IsWow64Process2")) {
    USHORT process = 0, native = 0;
    if (isWow64Process2(GetCurrentProcess(), &process, &native)) return MachineName(native);
  }
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  return ArchitectureName(info.wProcessorArchitecture);
}

std::uint32_t WinMachine::logicalProcessors() {
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  return info.dwNumberOfProcessors;
}

bool WinMachine::processorFeature(std::uint32_t feature) { return IsProcessorFeaturePresent(feature) != FALSE; }

Reading<std::uint64_t> WinMachine::installedMemoryKb() {
  ULONGLONG kb = 0;
  if (!GetPhysicallyInstalledSystemMemory(&kb)) return UnreadFromError(GetLastError());
  return static_cast<std::uint64_t>(kb);
}

Reading<std::uint32_t> WinMachine::firmwareType() {
  using GetFirmwareTypeFn = BOOL(WINAPI*)(DWORD*);  // FIRMWARE_TYPE is an enum of DWORD size
  const auto getFirmwareType = SystemFunction<GetFirmwareTypeFn>(Kernel32(), "GetFirmwareType");
  if (getFirmwareType == nullptr) return platform::kUnsupported;
  DWORD type = 0;
  if (!getFirmwareType(&type)) return UnreadFromError(GetLastError());
  return static_cast<std::uint32_t>(type);
}

Reading<platform::SecureBoot> WinMachine::secureBoot() {
  using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query =
      SystemFunction<NtQuerySystemInformationFn>(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
  if (query == nullptr) return platform::kUnsupported;
  SecureBootInformation info = {};
  const LONG status = query(kSystemSecureBootInformation, &info, sizeof info, nullptr);
  switch (status) {
    case 0:
      return platform::SecureBoot{info.capable != FALSE, info.enabled != FALSE};
    case kStatusNotImplemented:  // legacy BIOS
    case kStatusInvalidInfoClass:  // Windows 7
      return platform::kUnsupported;
    case kStatusAccessDenied:
      return platform::kDenied;
    default:
      return platform::ErrorCode(static_cast<std::uint32_t>(status));
  }
}

Reading<std::uint32_t> WinMachine::tpmVersion() {
  using GetDeviceInfoFn = UINT32(WINAPI*)(UINT32, PVOID);
  const ScopedLibrary tbs = LoadSystemLibrary(L"tbs.dll");
  const auto getDeviceInfo = SystemFunction<GetDeviceInfoFn>(tbs.get(), "Tbsi_GetDeviceInfo");
  if (getDeviceInfo == nullptr) return platform::kUnsupported;
  TpmDeviceInfo info = {};
  switch (const UINT32 result = getDeviceInfo(sizeof info, &info)) {
    case 0:
      return static_cast<std::uint32_t>(info.tpmVersion);
    case kTbsTpmNotFound:
      return std::uint32_t{0};
    case kTbsAccessDenied:
      return platform::kDenied;
    default:
      return platform::ErrorCode(result);
  }
}

}  // namespace th::win32

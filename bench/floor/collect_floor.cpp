// The floor for the collection stage: the WMI queries, property reads and
// registry reads the program makes between its entry form and its last
// record, and a read of the registry dump, in one process over one WMI
// connection, writing nothing. What the program takes beyond this is the
// cost of its own work (records, conversions, notice window, connections).
//   collect_floor [DUMP]
// prints one JSON line of elapsed milliseconds (QueryPerformanceCounter).
#include <windows.h>
#include <psapi.h>
#include <wbemidl.h>

#include <cstdio>
#include <string>
#include <vector>
#include "stopwatch.h"

namespace {

using bench::NowMs;

struct Counts {
  int queries = 0, instances = 0, properties = 0, namedReads = 0, registryReads = 0;
};

IWbemServices* Connect() {
  IWbemLocator* locator = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              reinterpret_cast<void**>(&locator)))) {
    return nullptr;
  }
  IWbemServices* services = nullptr;
  BSTR path = SysAllocString(L"root\\cimv2");
  const HRESULT hr = locator->ConnectServer(path, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
  SysFreeString(path);
  locator->Release();
  if (FAILED(hr)) return nullptr;
  CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  return services;
}

// A string property by name, empty when missing or not a string.
std::wstring ReadText(IWbemClassObject* object, const wchar_t* name, Counts& counts) {
  VARIANT v;
  VariantInit(&v);
  std::wstring text;
  ++counts.namedReads;
  if (SUCCEEDED(object->Get(name, 0, &v, nullptr, nullptr)) && v.vt == VT_BSTR && v.bstrVal) text = v.bstrVal;
  VariantClear(&v);
  return text;
}

// Runs one query, enumerates every non-system property of every instance,
// then makes the named reads the program makes on each instance. Returns the
// values of `keep` per instance.
std::vector<std::wstring> Query(IWbemServices* services, const wchar_t* wql, const std::vector<const wchar_t*>& reads,
                                const wchar_t* keep, Counts& counts) {
  std::vector<std::wstring> kept;
  ++counts.queries;
  IEnumWbemClassObject* found = nullptr;
  BSTR language = SysAllocString(L"WQL");
  BSTR text = SysAllocString(wql);
  const HRESULT hr = services->ExecQuery(language, text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                         nullptr, &found);
  SysFreeString(language);
  SysFreeString(text);
  if (FAILED(hr)) return kept;
  CoSetProxyBlanket(found, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  while (true) {
    IWbemClassObject* object = nullptr;
    ULONG returned = 0;
    if (FAILED(found->Next(static_cast<LONG>(WBEM_INFINITE), 1, &object, &returned)) || returned == 0) break;
    ++counts.instances;
    object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY);
    while (true) {
      BSTR name = nullptr;
      VARIANT value;
      VariantInit(&value);
      CIMTYPE type = CIM_EMPTY;
      if (object->Next(0, &name, &value, &type, nullptr) != WBEM_S_NO_ERROR) break;
      ++counts.properties;
      SysFreeString(name);
      VariantClear(&value);
    }
    object->EndEnumeration();
    for (const wchar_t* read : reads) ReadText(object, read, counts);
    if (keep) kept.push_back(ReadText(object, keep, counts));
    object->Release();
  }
  found->Release();
  return kept;
}

// A registry value read as the program reads it: ANSI, into 256 bytes.
std::string ReadRegistry(const char* path, const char* name, Counts& counts) {
  HKEY key = nullptr;
  ++counts.registryReads;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  char buffer[256] = {};
  DWORD size = sizeof buffer;
  DWORD type = REG_SZ;
  std::string text;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
    text.assign(buffer, strnlen(buffer, sizeof buffer));
  }
  RegCloseKey(key);
  return text;
}

long long ReadWholeFile(const wchar_t* path) {
  const HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return -1;
  static char buffer[64 * 1024];
  long long total = 0;
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) total += got;
  CloseHandle(h);
  return total;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // As the program does before its run starts.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Counts counts;
  PROCESS_MEMORY_COUNTERS memoryBefore{}, memoryAfter{};
  memoryBefore.cb = memoryAfter.cb = sizeof(PROCESS_MEMORY_COUNTERS);
  K32GetProcessMemoryInfo(GetCurrentProcess(), &memoryBefore, sizeof memoryBefore);

  const double start = NowMs();
  IWbemServices* wmi = Connect();
  const double connected = NowMs();
  if (!wmi) {
    std::printf("{\"error\": \"no WMI connection\"}\n");
    return 1;
  }
  double registryMs = 0;
  auto timedRegistry = [&](const char* path, const char* name) {
    const double t = NowMs();
    std::string value = ReadRegistry(path, name, counts);
    registryMs += NowMs() - t;
    return value;
  };

  Query(wmi, L"Select * from Win32_NetworkAdapterConfiguration where IPEnabled=TRUE", {}, nullptr, counts);
  // The processor's name from the registry makes its WMI query unneeded.
  const bool processorQueried =
      timedRegistry("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "ProcessorNameString").empty();
  if (processorQueried) {
    Query(wmi, L"Select * from Win32_Processor", {}, nullptr, counts);
  }
  Query(wmi, L"Select * from Win32_BIOS Where PrimaryBIOS = True", {}, nullptr, counts);
  const auto hostNames = Query(wmi, L"Select * from Win32_ComputerSystem", {}, L"DNSHostName", counts);
  if (hostNames.empty() || hostNames.back().empty()) {
    wchar_t name[256];
    DWORD size = 256;
    GetComputerNameExW(ComputerNameDnsHostname, name, &size);
  }
  const auto captions =
      Query(wmi, L"Select * from Win32_OperatingSystem", {L"OSArchitecture", L"CSDVersion"}, L"Caption", counts);
  Query(wmi, L"Select * from Win32_LogicalDisk Where DriveType = 3", {L"DeviceID"}, nullptr, counts);
  // The registry's OS version is read only when WMI gave none.
  if (captions.empty() || captions.back().empty()) {
    timedRegistry("SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "PROCESSOR_ARCHITECTURE");
    timedRegistry("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName");
    timedRegistry("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CSDVersion");
  }
  Query(wmi, L"Select * from Win32_SystemEnclosure", {}, nullptr, counts);
  Query(wmi, L"Select * from Win32_BaseBoard", {}, nullptr, counts);
  const auto uuids = Query(wmi, L"Select * from Win32_ComputerSystemProduct", {}, L"UUID", counts);
  if (uuids.empty() || uuids.front() == L"00000000-0000-0000-0000-000000000000") {
    Query(wmi, L"Select * from Win32_BaseBoard", {}, nullptr, counts);
  }
  Query(wmi, L"Select * from Win32_DisplayConfiguration", {}, nullptr, counts);
  Query(wmi, L"Select * from Win32_DesktopMonitor", {}, nullptr, counts);
  Query(wmi, L"Select * from Win32_Keyboard", {}, nullptr, counts);
  Query(wmi, L"Select * from Win32_Printer Where Default = True", {L"PortName"}, nullptr, counts);
  const double queried = NowMs();

  long long dumpBytes = 0;
  if (argc > 1) dumpBytes = ReadWholeFile(argv[1]);
  const double end = NowMs();
  wmi->Release();

  // Outside the total: what one more connection costs, as each of the
  // program's collectors opens its own.
  const double again = NowMs();
  IWbemServices* second = Connect();
  const double againMs = NowMs() - again;
  if (second) second->Release();
  // What WMI's work adds to the working set of the process that asks.
  K32GetProcessMemoryInfo(GetCurrentProcess(), &memoryAfter, sizeof memoryAfter);
  const long long wmiGrowthKib =
      (static_cast<long long>(memoryAfter.PeakWorkingSetSize) - static_cast<long long>(memoryBefore.WorkingSetSize)) / 1024;

  std::printf(
      "{\"total_ms\": %.3f, \"connect_ms\": %.3f, \"queries_ms\": %.3f, \"registry_ms\": %.3f, \"dump_ms\": %.3f, "
      "\"connect_again_ms\": %.3f, \"queries\": %d, \"instances\": %d, \"properties\": %d, \"named_reads\": %d, "
      "\"registry_reads\": %d, \"processor_queried\": %s, \"dump_bytes\": %lld, \"wmi_peak_growth_kib\": %lld}\n",
      end - start, connected - start, queried - connected - registryMs, registryMs, end - queried, againMs,
      counts.queries, counts.instances, counts.properties, counts.namedReads, counts.registryReads,
      processorQueried ? "true" : "false", dumpBytes, wmiGrowthKib);
  CoUninitialize();
  return 0;
}

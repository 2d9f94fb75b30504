#include "platform/win32/system_random.h"

#include <windows.h>

#include "platform/failure.h"
#include "platform/win32/system_function.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

constexpr ULONG kSystemPreferredRng = 0x00000002;  // BCRYPT_USE_SYSTEM_PREFERRED_RNG, Windows 7 and later
using GenRandomFn = LONG(WINAPI*)(void* algorithm, unsigned char* buffer, ULONG size, ULONG flags);

// Not imported: an import is resolved before the program's first line, while
// the DLL search still starts beside the program (ADVAPI32's RtlGenRandom is
// forwarded to CRYPTBASE.dll, which is no KnownDLL, so a planted copy would
// load). bcrypt.dll is loaded by its full path in the system folder once and
// kept for the run.
GenRandomFn LoadGenRandom() {
  static const ScopedLibrary bcrypt = LoadSystemLibrary(L"bcrypt.dll");
  return SystemFunction<GenRandomFn>(bcrypt.get(), "BCryptGenRandom");
}

}  // namespace

void SystemRandom(void* buffer, std::size_t size) {
  static const GenRandomFn genRandom = LoadGenRandom();
  if (genRandom == nullptr) ThrowError(ERROR_PROC_NOT_FOUND);
  const LONG status = genRandom(nullptr, static_cast<unsigned char*>(buffer), static_cast<ULONG>(size),
                                kSystemPreferredRng);
  if (status < 0) ThrowError(ERROR_GEN_FAILURE);
}

}  // namespace th::win32

// Stands in for winebrowser.exe, which Wine runs to open an .html file with
// the host's browser: it only writes its call to standin-calls.log.
#include "standin_common.h"

int wmain() {
  standin::LogCall(L"winebrowser", L"");
  return 0;
}

// Demo program for the harness self-test: shows a Japanese message box, then
// writes a CP932 file (message and current folder, CR LF) named by its
// argument, relative to the current folder. Exits with the box's result.
#include <windows.h>

#include <string>

namespace {

std::string cp932(const std::wstring& text) {
  int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring message = L"データ収集を中止しました。";
  int result = MessageBoxW(nullptr, message.c_str(), L"インベントリ収集",
                           MB_OKCANCEL | MB_ICONINFORMATION);

  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  std::string bytes = cp932(message + L"\r\n" + folder + L"\r\n");

  const wchar_t* name = argc > 1 ? argv[1] : L"demo_out.txt";
  HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 100;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok ? result : 101;
}

#include "platform/win32/win_filesystem.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "platform/chunked_line_reader.h"
#include "platform/failure.h"
#include "platform/win32/scoped_com.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/unicode.h"

namespace th::win32 {

namespace {

using platform::FileOutcome;
using platform::FileResult;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The ordinary outcome a Windows error code stands for, with its description.
FileOutcome Outcome(DWORD error) {
  switch (error) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return {FileResult::kExists, Describe(error)};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return {FileResult::kMissing, Describe(error)};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return {FileResult::kHeld, Describe(error)};
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return {FileResult::kDenied, Describe(error)};
    default:
      return {FileResult::kFailed, Describe(error)};
  }
}

FileOutcome Done() { return {}; }
FileOutcome Checked(BOOL ok) { return ok ? Done() : Outcome(GetLastError()); }

platform::FileValue<ScopedHandle> OpenForReading(const std::string& path) {
  ScopedHandle h(CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!h) return {Outcome(GetLastError()), {}};
  return {Done(), std::move(h)};
}

// Opened for comparing: a file that cannot be opened is no proof of anything.
ScopedHandle OpenToCompare(const std::string& path) {
  auto opened = OpenForReading(path);
  if (!opened.done()) throw Failure(opened.outcome.failure);
  return std::move(opened.value);
}

// Reads into buf; 0 at the end of the file.
DWORD ReadChunk(const ScopedHandle& h, char* buf, DWORD size) {
  DWORD got = 0;
  if (!ReadFile(h.get(), buf, size, &got, nullptr)) ThrowLastError();
  return got;
}

class FileLines : public platform::ChunkedLineReader {
 public:
  explicit FileLines(ScopedHandle h) : h_(std::move(h)) {}

 protected:
  std::size_t read(char* buffer, std::size_t size) override {
    return ReadChunk(h_, buffer, static_cast<DWORD>(size));
  }

 private:
  ScopedHandle h_;
};

}  // namespace

FileOutcome WinFileSystem::append(const std::string& path, std::string_view bytes) {
  if (path.empty()) return Outcome(ERROR_PATH_NOT_FOUND);
  ScopedHandle h(CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return Outcome(GetLastError());
  if (bytes.empty()) return Done();
  DWORD written = 0;
  return Checked(WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

platform::FileValue<std::unique_ptr<platform::LineReader>> WinFileSystem::openLines(const std::string& path) {
  auto opened = OpenForReading(path);
  if (!opened.done()) return {std::move(opened.outcome), nullptr};
  return {Done(), std::make_unique<FileLines>(std::move(opened.value))};
}

std::int64_t WinFileSystem::fileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WinFileSystem::fileExists(const std::string& path) {
  const DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::folderExists(const std::string& path) { return isDirectory(path); }

bool WinFileSystem::isDirectory(const std::string& path) {
  const DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

FileOutcome WinFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
  return Checked(SetFileAttributesW(Wide(path).c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL));
}

FileOutcome WinFileSystem::removeFile(const std::string& path) { return Checked(DeleteFileW(Wide(path).c_str())); }

FileOutcome WinFileSystem::createFolder(const std::string& path) {
  // CreateDirectory never opens an existing folder: a success is a folder this call made.
  return Checked(CreateDirectoryW(Wide(path).c_str(), nullptr));
}

FileOutcome WinFileSystem::writeNewFile(const std::string& path, std::string_view bytes) {
  const std::wstring w = Wide(path);
  ScopedHandle h(CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
  if (!h) return Outcome(GetLastError());
  DWORD written = 0;
  if (!WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    const DWORD error = GetLastError();
    h.reset();
    DeleteFileW(w.c_str());  // ours, and not whole: it must not be run or read
    return Outcome(error ? error : ERROR_WRITE_FAULT);
  }
  return Done();
}

FileOutcome WinFileSystem::removeFolder(const std::string& path) {
  return Checked(RemoveDirectoryW(Wide(path).c_str()));
}

FileOutcome WinFileSystem::moveFile(const std::string& from, const std::string& to) {
  return Checked(MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0));
}

std::vector<std::string> WinFileSystem::search(const std::string& pattern) {
  std::wstring p = Wide(pattern);
  if (!p.empty() && p.back() == L'\\') p += L'*';
  WIN32_FIND_DATAW data;
  ScopedFind find(FindFirstFileExW(p.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  std::vector<std::string> names;
  if (!find) {
    const DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_NO_MORE_FILES) return names;
    ThrowError(e);
  }
  do {
    names.push_back(Utf8(data.cFileName));
  } while (FindNextFileW(find.get(), &data));
  return names;
}

std::string WinFileSystem::currentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring w(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, w.data());
  if (got == 0 || got >= n) ThrowLastError();
  w.resize(got);
  return Utf8(w);
}

FileOutcome WinFileSystem::changeDrive(const std::string& drive) {
  if (drive.empty()) return Outcome(ERROR_INVALID_DRIVE);
  // "X:" alone enters the drive's own current folder, as a drive change does.
  const std::wstring d = Wide(drive).substr(0, 2);
  return Checked(SetCurrentDirectoryW(d.c_str()));
}

FileOutcome WinFileSystem::changeFolder(const std::string& path) {
  return Checked(SetCurrentDirectoryW(Wide(path).c_str()));
}

std::string WinFileSystem::tempFolder() {
  const DWORD n = GetTempPathW(0, nullptr);
  if (n == 0) ThrowLastError();
  std::wstring w(n, L'\0');
  const DWORD got = GetTempPathW(n, w.data());
  if (got == 0 || got >= n) ThrowLastError();
  w.resize(got);
  return Utf8(w);
}

std::string WinFileSystem::createTempFile(const std::string& folder, const std::string& prefix) {
  // GetTempFileName's own naming (three prefix letters, a hex number, ".tmp")
  // without its MAX_PATH buffer, so long temporary folders work.
  const std::wstring base = Wide(folder) + Wide(prefix).substr(0, 3);
  UINT number = (GetTickCount() & 0xFFFF) | 1;
  for (int tries = 0; tries < 0x10000; ++tries, number = (number % 0xFFFF) + 1) {
    wchar_t hex[8];
    swprintf(hex, 8, L"%X", number);
    const std::wstring name = base + hex + L".tmp";
    ScopedHandle h(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h) return Utf8(name);
    const DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) ThrowError(e);
  }
  ThrowError(ERROR_FILE_EXISTS);
}

std::string WinFileSystem::programFolder() {
  std::wstring w(MAX_PATH, L'\0');
  while (true) {
    const DWORD got = GetModuleFileNameW(nullptr, w.data(), static_cast<DWORD>(w.size()));
    if (got == 0) ThrowLastError();
    if (got < w.size()) {
      w.resize(got);
      break;
    }
    w.resize(w.size() * 2);
  }
  w.resize(w.rfind(L'\\'));
  if (w.size() == 2 && w[1] == L':') w += L'\\';  // a drive root keeps its "\"
  return Utf8(w);
}

std::string WinFileSystem::desktopFolder() {
  ScopedCoTaskString path;
  const HRESULT hr = SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, path.put());
  if (FAILED(hr)) ThrowError(static_cast<DWORD>(hr));
  return Utf8(path.get());
}

FileOutcome WinFileSystem::copyFile(const std::string& from, const std::string& to) {
  return Checked(CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE));
}

bool WinFileSystem::sameContents(const std::string& a, const std::string& b) {
  ScopedHandle ha = OpenToCompare(a), hb = OpenToCompare(b);
  constexpr DWORD kChunk = 64 * 1024;
  std::string bufferA(kChunk, '\0'), bufferB(kChunk, '\0');
  char* bufA = bufferA.data();
  char* bufB = bufferB.data();
  while (true) {
    const DWORD na = ReadChunk(ha, bufA, kChunk);
    DWORD nb = 0;
    while (nb < na) {  // fill B to the same length
      const DWORD got = ReadChunk(hb, bufB + nb, na - nb);
      if (got == 0) return false;
      nb += got;
    }
    if (na == 0) return ReadChunk(hb, bufB, 1) == 0;
    if (memcmp(bufA, bufB, na) != 0) return false;
  }
}

}  // namespace th::win32

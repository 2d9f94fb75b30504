#include "platform/win32/win_filesystem.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
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

// True when both files hold the same bytes from where each is read now.
bool SameBytes(const ScopedHandle& ha, const ScopedHandle& hb) {
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

void Rewind(const ScopedHandle& h) {
  if (!SetFilePointerEx(h.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) ThrowLastError();
}

// The attributes that carry a security descriptor given as SDDL; none (what
// the folder passes on) for an empty text.
class Security {
 public:
  explicit Security(const std::string& sddl) {
    if (sddl.empty()) return;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(sddl).c_str(), SDDL_REVISION_1,
                                                              descriptor_.put(), nullptr)) {
      ThrowLastError();
    }
    attributes_.lpSecurityDescriptor = descriptor_.get();
  }
  SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  ScopedLocalMemory descriptor_;
  SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

class WinHold : public platform::Hold {
 public:
  explicit WinHold(ScopedHandle h) : h_(std::move(h)) {}
  std::string owner() override {
    PSID owner = nullptr;
    ScopedLocalMemory descriptor;
    const DWORD e = GetSecurityInfo(h_.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                    nullptr, descriptor.put());
    if (e != ERROR_SUCCESS) ThrowError(e);
    return SidText(owner);
  }
  std::string contents() override {
    Rewind(h_);
    std::string bytes;
    char buffer[4096];
    while (const DWORD n = ReadChunk(h_, buffer, sizeof buffer)) bytes.append(buffer, n);
    return bytes;
  }
  std::string access() override {
    DWORD flags = 0;
    if (!GetVolumeInformationByHandleW(h_.get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) ThrowLastError();
    if (!(flags & FILE_PERSISTENT_ACLS)) return platform::kNoAccessList;
    ScopedLocalMemory descriptor;
    const DWORD e = GetSecurityInfo(h_.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                                    nullptr, descriptor.put());
    if (e != ERROR_SUCCESS) ThrowError(e);
    ScopedLocalMemory text;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.get(), SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION,
                                                              reinterpret_cast<LPWSTR*>(text.put()), nullptr)) {
      ThrowLastError();
    }
    return Utf8(static_cast<const wchar_t*>(text.get()));
  }

 private:
  ScopedHandle h_;
};

class WinNewCopy : public platform::NewCopy {
 public:
  explicit WinNewCopy(ScopedHandle h) : h_(std::move(h)) {}

  // Copies the rest of `source` in.
  FileOutcome fill(const ScopedHandle& source) {
    std::string buffer(64 * 1024, '\0');
    try {
      while (const DWORD n = ReadChunk(source, buffer.data(), static_cast<DWORD>(buffer.size()))) {
        DWORD written = 0;
        if (!WriteFile(h_.get(), buffer.data(), n, &written, nullptr)) return Outcome(GetLastError());
        if (written != n) return Outcome(ERROR_WRITE_FAULT);
      }
    } catch (const Failure& e) {
      return {platform::FileResult::kFailed, e.what()};
    }
    return Done();
  }
  FileOutcome flush() override { return Checked(FlushFileBuffers(h_.get())); }
  bool sameContents(const std::string& source) override {
    const ScopedHandle theSource = OpenToCompare(source);
    Rewind(h_);
    return SameBytes(theSource, h_);
  }
  FileOutcome discard() override {
    FILE_DISPOSITION_INFO remove = {TRUE};
    return Checked(SetFileInformationByHandle(h_.get(), FileDispositionInfo, &remove, sizeof remove));
  }
  FileOutcome close() override { return Checked(CloseHandle(h_.release())); }

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

FileOutcome WinFileSystem::createSecuredFolder(const std::string& path, const std::string& securityDescriptor) {
  Security security(securityDescriptor);
  return Checked(CreateDirectoryW(Wide(path).c_str(), security.get()));
}

FileOutcome WinFileSystem::writeNewFile(const std::string& path, std::string_view bytes,
                                        const std::string& securityDescriptor) {
  const std::wstring w = Wide(path);
  Security security(securityDescriptor);
  ScopedHandle h(CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ, security.get(), CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
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

platform::FileValue<std::unique_ptr<platform::Hold>> WinFileSystem::hold(const std::string& path) {
  // Shared for reading only: no other open may write, rename (which asks for
  // delete access) or delete. A folder also lets files be made in it: the
  // run's own listing is written there while it is held.
  // A link or junction is opened as itself, never as what it points to.
  const std::wstring w = Wide(path);
  const DWORD attributes = GetFileAttributesW(w.c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  ScopedHandle h(CreateFileW(w.c_str(), GENERIC_READ, folder ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING,
                             (folder ? FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL) | FILE_FLAG_OPEN_REPARSE_POINT,
                             nullptr));
  if (!h) return {Outcome(GetLastError()), nullptr};
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h.get(), &info)) return {Outcome(GetLastError()), nullptr};
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    return {{FileResult::kDenied, "別の場所へのリンク (リパース ポイント) です。たどらずに中止しました。"}, nullptr};
  }
  return {Done(), std::make_unique<WinHold>(std::move(h))};
}

FileOutcome WinFileSystem::removeFolder(const std::string& path) {
  return Checked(RemoveDirectoryW(Wide(path).c_str()));
}

FileOutcome WinFileSystem::moveFile(const std::string& from, const std::string& to) {
  return Checked(MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0));
}

FileOutcome WinFileSystem::replaceFile(const std::string& from, const std::string& to) {
  // Not ReplaceFile: it would give the new file the replaced one's owner,
  // access list and identity (and so its other names).
  return Checked(MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
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

platform::FileValue<std::unique_ptr<platform::NewCopy>> WinFileSystem::copyNew(const std::string& from,
                                                                                const std::string& to) {
  auto source = OpenForReading(from);
  if (!source.done()) return {std::move(source.outcome), nullptr};
  // Never opens what stands there: CREATE_NEW fails on any name that exists.
  // Shared for reading only while the run holds it, so nobody else writes,
  // renames or deletes the copy before it is checked.
  ScopedHandle h(CreateFileW(Wide(to).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return {Outcome(GetLastError()), nullptr};
  auto copy = std::make_unique<WinNewCopy>(std::move(h));
  FileOutcome filled = copy->fill(source.value);
  if (!filled.done()) {
    (void)copy->discard();  // ours, and cut short; if it stays, verification refuses it
    return {std::move(filled), nullptr};
  }
  return {Done(), std::move(copy)};
}

}  // namespace th::win32

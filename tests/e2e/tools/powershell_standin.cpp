// powershell for the e2e prefix: Wine's own is a stub that always ends with
// 0. Understands only "start-process '<path>' -verb runas", the elevation
// request of the program's batch. The test decides the user's answer to the
// consent prompt through the environment variable STANDIN_UAC: "refuse"
// makes it end with error level 1, as PowerShell does when the prompt is
// declined; anything else accepts and starts the batch file from System32
// (where an elevated start begins) without waiting for it.
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>

#include "standin_common.h"

namespace {

bool IsQuote(wchar_t c) { return c == L'\'' || (c >= 0x2018 && c <= 0x201B); }

bool StartsWithNoCase(const std::wstring& s, std::size_t at, const std::wstring& word) {
  if (s.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (towlower(s[at + i]) != towlower(word[i])) return false;
  }
  return true;
}

void SkipBlanks(const std::wstring& s, std::size_t& at) {
  while (at < s.size() && (s[at] == L' ' || s[at] == L'\t')) ++at;
}

// Reads a single-quoted literal at "at": a doubled quote stands for one.
bool ReadLiteral(const std::wstring& s, std::size_t& at, std::wstring& out) {
  if (at >= s.size() || !IsQuote(s[at])) return false;
  for (++at; at < s.size(); ++at) {
    if (IsQuote(s[at])) {
      if (at + 1 < s.size() && IsQuote(s[at + 1])) {
        out += s[++at];
        continue;
      }
      ++at;
      return true;
    }
    out += s[at];
  }
  return false;  // unterminated
}

int Fail(const std::wstring& why, int code) {
  standin::LogCall(L"powershell", why);
  std::fwprintf(stderr, L"%ls\n", why.c_str());
  return code;
}

}  // namespace

int wmain() {
  const std::wstring args = standin::Arguments();
  std::size_t at = 0;
  SkipBlanks(args, at);
  if (!StartsWithNoCase(args, at, L"start-process")) return Fail(L"unsupported command", 1);
  at += 13;
  SkipBlanks(args, at);
  std::wstring path;
  if (!ReadLiteral(args, at, path)) return Fail(L"unparsable path", 1);
  SkipBlanks(args, at);
  if (!StartsWithNoCase(args, at, L"-verb")) return Fail(L"no -verb", 1);
  at += 5;
  SkipBlanks(args, at);
  if (!StartsWithNoCase(args, at, L"runas")) return Fail(L"not runas", 1);
  at += 5;
  SkipBlanks(args, at);
  if (at != args.size()) return Fail(L"trailing text", 1);

  wchar_t answer[32] = L"";
  GetEnvironmentVariableW(L"STANDIN_UAC", answer, 32);
  if (std::wstring(answer) == L"refuse") return Fail(L"refused " + path, 1);

  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return Fail(L"missing " + path, 1);
  if (!standin::StartDetached(L"cmd.exe /c \"\"" + path + L"\"\"", standin::SystemFolder())) {
    return Fail(L"cannot start " + path, 1);
  }
  standin::LogCall(L"powershell", L"elevated " + path);
  return 0;
}

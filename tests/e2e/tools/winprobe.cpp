// winprobe: reads and pokes the windows of other programs in the same Wine
// prefix, for the e2e harness.
//
//   winprobe list [--all]        top-level windows (visible only, unless --all)
//                                and their child controls, as UTF-8 JSON
//   winprobe settext HWND TEXT   WM_SETTEXT to a control
//   winprobe chars HWND TEXT     one WM_CHAR per UTF-16 unit of TEXT
//   winprobe paste HWND TEXT     TEXT onto the clipboard, then WM_PASTE (as the
//                                context menu's paste: no key filter, but the
//                                control's length limit)
//   winprobe click HWND          BM_CLICK (posted: the click may open a modal box)
//   winprobe close HWND          WM_CLOSE (posted)
//
// HWND is decimal or 0x-prefixed hex, as printed by `list`.
// Exit status: 0 done, 1 failed, 2 bad usage.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Text of another process's window. WM_GETTEXT is marshalled across processes
// (GetWindowTextW is not, for controls); a busy target times out, and then the
// window manager's own copy of the caption is the best we can get.
constexpr UINT kSendTimeoutMs = 500;
constexpr UINT kPatientTimeoutMs = 2500;

std::wstring window_text(HWND hwnd, bool& responsive) {
  if (responsive) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                            kSendTimeoutMs, &length)) {
      std::wstring text(length + 1, L'\0');
      DWORD_PTR copied = 0;
      if (SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(),
                              reinterpret_cast<LPARAM>(text.data()),
                              SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
        text.resize(copied);
        return text;
      }
    }
    responsive = false;
  }
  wchar_t buffer[1024] = {};
  GetWindowTextW(hwnd, buffer, static_cast<int>(std::size(buffer)));
  return buffer;
}

std::wstring class_name(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(hwnd, buffer, static_cast<int>(std::size(buffer)));
  return buffer;
}

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                 nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                      size, nullptr, nullptr);
  return out;
}

std::string json_string(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : utf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string json_rect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
  return buffer;
}

const char* json_bool(BOOL value) { return value ? "true" : "false"; }

// Properties shared by top-level windows and controls.
std::string json_common(HWND hwnd, bool& responsive) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return "\"hwnd\":" + std::to_string(reinterpret_cast<UINT_PTR>(hwnd)) +
         ",\"class\":" + json_string(class_name(hwnd)) +
         ",\"text\":" + json_string(window_text(hwnd, responsive)) +
         ",\"visible\":" + json_bool(IsWindowVisible(hwnd)) +
         ",\"enabled\":" + json_bool(IsWindowEnabled(hwnd)) +
         ",\"rect\":" + json_rect(hwnd) + ",\"pid\":" + std::to_string(pid);
}

std::string json_control(HWND hwnd, bool& responsive) {
  std::string out = "{" + json_common(hwnd, responsive) +
                    ",\"id\":" + std::to_string(GetDlgCtrlID(hwnd)) +
                    ",\"parent\":" + std::to_string(reinterpret_cast<UINT_PTR>(GetParent(hwnd)));
  if (_wcsicmp(class_name(hwnd).c_str(), L"Button") == 0) {
    DWORD_PTR state = 0;
    if (responsive) {
      SendMessageTimeoutW(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state);
    }
    out += ",\"checked\":" + std::to_string(state);
  } else if (_wcsicmp(class_name(hwnd).c_str(), L"msctls_progress32") == 0) {
    // Asked even of a window that did not answer in time: a program that
    // sleeps a second between its message pumps answers at its next pump.
    DWORD_PTR position = 0, upper = 0;
    const bool read =
        SendMessageTimeoutW(hwnd, PBM_GETPOS, 0, 0, SMTO_NORMAL, kPatientTimeoutMs, &position) &&
        SendMessageTimeoutW(hwnd, PBM_GETRANGE, FALSE, 0, SMTO_NORMAL, kPatientTimeoutMs, &upper);
    out += ",\"position\":" + (read ? std::to_string(position) : std::string("-1")) +
           ",\"upper\":" + std::to_string(upper);
  }
  return out + "}";
}

struct Listing {
  bool include_hidden = false;
  std::vector<HWND> windows;
};

BOOL CALLBACK collect_top_level(HWND hwnd, LPARAM param) {
  auto* listing = reinterpret_cast<Listing*>(param);
  if (listing->include_hidden || IsWindowVisible(hwnd)) listing->windows.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK collect_child(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

std::string json_window(HWND hwnd) {
  bool responsive = true;
  std::string out = "{" + json_common(hwnd, responsive);
  std::vector<HWND> children;
  EnumChildWindows(hwnd, collect_child, reinterpret_cast<LPARAM>(&children));
  out += ",\"children\":[";
  for (size_t i = 0; i < children.size(); ++i) {
    if (i) out += ",";
    out += json_control(children[i], responsive);
  }
  return out + "],\"responsive\":" + json_bool(responsive) +
         ",\"topmost\":" + json_bool((GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) +
         ",\"foreground\":" + json_bool(GetForegroundWindow() == hwnd) + "}";
}

void write_stdout(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
            &written, nullptr);
}

int list(bool include_hidden) {
  Listing listing;
  listing.include_hidden = include_hidden;
  EnumWindows(collect_top_level, reinterpret_cast<LPARAM>(&listing));
  std::string out = "[";
  for (size_t i = 0; i < listing.windows.size(); ++i) {
    if (i) out += ",\n";
    out += json_window(listing.windows[i]);
  }
  write_stdout(out + "]\n");
  return 0;
}

HWND parse_hwnd(const wchar_t* text) {
  wchar_t* end = nullptr;
  unsigned long long value = std::wcstoull(text, &end, 0);
  if (!end || *end) return nullptr;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
  return IsWindow(hwnd) ? hwnd : nullptr;
}

bool send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

int fail(const char* what) {
  std::fprintf(stderr, "winprobe: %s\n", what);
  return 1;
}

bool put_on_clipboard(const wchar_t* text) {
  const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  std::memcpy(GlobalLock(memory), text, bytes);
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (!put) GlobalFree(memory);
  CloseClipboard();
  return put;
}

int usage() {
  std::fprintf(stderr,
               "usage: winprobe list [--all] | settext HWND TEXT | chars HWND TEXT |"
               " paste HWND TEXT | click HWND | close HWND\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return usage();
  std::wstring command = argv[1];
  if (command == L"list") {
    if (argc > 3 || (argc == 3 && std::wstring(argv[2]) != L"--all")) return usage();
    return list(argc == 3);
  }
  bool takes_text = command == L"settext" || command == L"chars" || command == L"paste";
  bool takes_hwnd_only = command == L"click" || command == L"close";
  if (!(takes_text && argc == 4) && !(takes_hwnd_only && argc == 3)) return usage();

  HWND hwnd = parse_hwnd(argv[2]);
  if (!hwnd) return fail("no such window");
  if (command == L"settext") {
    return send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3])) ? 0 : fail("WM_SETTEXT timed out");
  }
  if (command == L"paste") {
    if (!put_on_clipboard(argv[3])) return fail("cannot put the text on the clipboard");
    return send(hwnd, WM_PASTE, 0, 0) ? 0 : fail("WM_PASTE timed out");
  }
  if (command == L"chars") {
    for (const wchar_t* c = argv[3]; *c; ++c) {
      if (!send(hwnd, WM_CHAR, static_cast<WPARAM>(*c), 1)) return fail("WM_CHAR timed out");
    }
    return 0;
  }
  UINT message = command == L"click" ? BM_CLICK : WM_CLOSE;
  return PostMessageW(hwnd, message, 0, 0) ? 0 : fail("PostMessage failed");
}

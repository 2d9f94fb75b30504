#!/usr/bin/env python3
"""Both Windows programs, 64- and 32-bit, start on Windows 7 SP1 as it is
installed (without KB2533623): no function they import is newer, and their
PE subsystem version is at most 6.1, or the loader refuses them before a line
of them runs. Newer is what the SDK's own headers declare only for a later
_WIN32_WINNT, plus what mingw-w64 declares for every version although
Windows 7 lacks it (static libraries are not bound by our _WIN32_WINNT).

usage: check_windows7.py OBJDUMP CC EXE...
"""
import re
import subprocess
import sys

HEADERS = "#include <windows.h>\n#include <shellscalingapi.h>\n"
# Declared by mingw-w64 for Windows 7 too: KB2533623's loader functions, and
# Windows 8's and later that its headers do not guard.
UNGUARDED = {
    "SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory", "GetSystemTimePreciseAsFileTime",
    "WaitOnAddress", "WakeByAddressSingle", "WakeByAddressAll", "CopyFile2", "GetOverlappedResultEx",
    "CreateFileMappingFromApp", "SetThreadDescription", "GetThreadDescription", "VirtualAlloc2", "MapViewOfFile3",
    "GetCurrentPackageFullName", "GetSystemCpuSetInformation",
}
WINDOWS_7 = (6, 1)


def declared(cc, winnt):
    """Functions the headers declare when compiling for `winnt`."""
    text = subprocess.run([cc, "-E", "-P", f"-D_WIN32_WINNT={winnt}", f"-DWINVER={winnt}", "-x", "c", "-"],
                          input=HEADERS, check=True, capture_output=True, text=True).stdout
    return set(re.findall(r"\b(\w+)\s*\([^()]*\)\s*;", text)) | set(re.findall(r"__stdcall__\)\)\s+(\w+)\s*\(", text))


def newer_than_windows7(cc):
    return declared(cc, "0x0A00") - declared(cc, "0x0601") | UNGUARDED


def imported(listing):
    """(DLL, function) of each import by name in `objdump -p` output."""
    found, dll = [], None
    for line in listing.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1)
            continue
        m = re.match(r"\t[0-9a-f]+\t\s*\d+\s+(\w+)$", line)
        if m and dll:
            found.append((dll, m.group(1)))
    return found


def problems(objdump, exe, newer):
    listing = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    found = []
    imports = imported(listing)
    if not imports:
        found.append(f"{exe}: no import read")
    found += [f"{exe}: imports {name} from {dll}, which Windows 7 SP1 lacks" for dll, name in imports if name in newer]
    version = re.search(r"MajorSubsystemVersion\s+(\d+)\s+MinorSubsystemVersion\s+(\d+)", listing)
    if not version:
        found.append(f"{exe}: no subsystem version read")
    elif (int(version.group(1)), int(version.group(2))) > WINDOWS_7:
        found.append(f"{exe}: subsystem version {version.group(1)}.{version.group(2)}, above Windows 7's 6.1")
    return found


def main(argv):
    objdump, cc, exes = argv[1], argv[2], argv[3:]
    newer = newer_than_windows7(cc)
    found = [p for exe in exes for p in problems(objdump, exe, newer)]
    for p in found:
        print(p)
    print("ok" if not found else f"{len(found)} problem(s)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

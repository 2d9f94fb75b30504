#!/usr/bin/env python3
"""Both Windows programs load DLLs only from the system folder: every DLL
they import is a KnownDLL (which Windows maps from the system folder whatever
lies beside the program), or COMCTL32, which the embedded manifest binds to
the system's side-by-side copy; and the first statement of their entry point
restricts every later DLL load to the system folder. No import is one that a
KnownDLL forwards to a DLL outside them (FORWARDED): the loader would resolve it
before that first statement, by the search that starts beside the program; a
program built here to import one must be refused (the check's own planted case).
A manifest names the program's own processor; the client is terminal-server aware. They start on Windows 7 SP1
without KB2533623: no import is newer (UNGUARDED, or declared by the SDK's headers only for a later _WIN32_WINNT,
or a function of the TPM service) and the PE subsystem version is at most 6.1.

usage: check_dll_loading.py OBJDUMP CC EXE:SOURCE:ENTRY...
"""
import re
import subprocess
import sys
import tempfile
from pathlib import Path

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows 10
# and 11 that Windows 7 SP1 lists too (ntdll is always mapped from the system folder).
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll",
    "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "wldap32.dll", "ws2_32.dll",
}
# Declared by mingw-w64 for Windows 7 too: KB2533623's loader functions, and later ones it does not guard.
UNGUARDED = {
    "SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory", "GetSystemTimePreciseAsFileTime",
    "WaitOnAddress", "WakeByAddressSingle", "WakeByAddressAll", "CopyFile2", "GetOverlappedResultEx",
    "CreateFileMappingFromApp", "SetThreadDescription", "GetThreadDescription", "VirtualAlloc2", "MapViewOfFile3",
    "GetCurrentPackageFullName", "GetSystemCpuSetInformation"}
# The TPM service's functions (tbs.dll): Windows 7 lacks Tbsi_GetDeviceInfo, and the SDK declares none of them
# for Windows 7 that the program may use; they are looked up at run time, their DLL loaded by full path.
TBS_FUNCTION = re.compile(r"Tbsip?_\w+")
# Exports of KnownDLLs that Windows forwards to DLLs outside them (ADVAPI32's RtlGenRandom and memory encryption to
# CRYPTBASE, its CryptoAPI functions to CRYPTSP since Windows 8): the forwarded-to DLL is loaded by the search order.
FORWARDED = {
    ("advapi32.dll", "SystemFunction036"): "cryptbase.dll",
    ("advapi32.dll", "SystemFunction040"): "cryptbase.dll",
    ("advapi32.dll", "SystemFunction041"): "cryptbase.dll",
    ("advapi32.dll", "CryptAcquireContextA"): "cryptsp.dll",
    ("advapi32.dll", "CryptAcquireContextW"): "cryptsp.dll",
    ("advapi32.dll", "CryptGenRandom"): "cryptsp.dll",
    ("advapi32.dll", "CryptReleaseContext"): "cryptsp.dll",
}
# A program that imports RtlGenRandom (ADVAPI32's SystemFunction036), as the client once did.
PLANTED = "#include <windows.h>\n#include <ntsecapi.h>\nint main(void) { char b[8]; return !RtlGenRandom(b, 8); }\n"
COMMON_CONTROLS = b"Microsoft.Windows.Common-Controls"
# By objdump's name of the PE format: Windows refuses a manifest naming another processor.
MANIFEST_ARCH = {"pei-x86-64": b"amd64", "pei-i386": b"x86"}
FIRST_CALL = "th::win32::RestrictDllSearchToSystemFolder();"


def imports(objdump, exe):
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    return [m.lower() for m in re.findall(r"DLL Name: (\S+)", text)], text


def named_imports(listing):
    """(dll, function) of each import by name: a tab, the hint table's offset, a tab, the hint, the name, under the
    DLL Name line it follows."""
    found, dll = [], None
    for line in listing.splitlines():
        if m := re.match(r"\s*DLL Name: (\S+)$", line):
            dll = m.group(1).lower()
        elif dll and (m := re.match(r"^\t[0-9a-f]+\t\s*\d+\s+(\w+)$", line)):
            found.append((dll, m.group(1)))
    return found


def forwarded(exe, listing):
    return [f"{exe}: imports {dll}'s {name}, which Windows forwards to {FORWARDED[(dll, name)]}, no KnownDLL: loaded "
            "before the first statement, from beside the program if one is there"
            for dll, name in named_imports(listing) if (dll, name) in FORWARDED]


def planted_refused(objdump, cc):
    """The check refuses a program built to import a forwarded function."""
    with tempfile.TemporaryDirectory() as folder:
        exe = Path(folder) / "planted.exe"
        subprocess.run([cc, "-x", "c", "-", "-o", str(exe), "-ladvapi32"], input=PLANTED, text=True, check=True)
        return forwarded(exe, imports(objdump, exe)[1]) == [
            f"{exe}: imports advapi32.dll's SystemFunction036, which Windows forwards to cryptbase.dll, no KnownDLL: "
            "loaded before the first statement, from beside the program if one is there"]


def declared(cc, winnt):
    """Functions the SDK's headers declare when compiling for `winnt`."""
    text = subprocess.run([cc, "-E", "-P", f"-D_WIN32_WINNT={winnt}", f"-DWINVER={winnt}", "-x", "c", "-"],
                          input="#include <windows.h>\n#include <shellscalingapi.h>\n", check=True,
                          capture_output=True, text=True).stdout
    return set(re.findall(r"\b(\w+)\s*\([^()]*\)\s*;", text)) | set(re.findall(r"__stdcall__\)\)\s+(\w+)\s*\(", text))


def first_statement(source, entry):
    """The first statement in the body of `entry`, comments skipped."""
    text = Path(source).read_text(encoding="utf-8")
    match = re.search(r"\b" + re.escape(entry) + r"\s*\([^)]*\)\s*\{", text)
    if not match:
        return None
    body = re.sub(r"//[^\n]*", "", text[match.end():])
    return body.strip().split("\n", 1)[0].strip()


def problems(objdump, exe, source, entry, newer):
    found = []
    dlls, listing = imports(objdump, exe)
    named = [name for _, name in named_imports(listing)]
    found += forwarded(exe, listing)
    found += [f"{exe}: imports {name}, which Windows 7 SP1 lacks" for name in named
              if name in newer or TBS_FUNCTION.fullmatch(name)]
    version = re.search(r"MajorSubsystemVersion\s+(\d+)\s+MinorSubsystemVersion\s+(\d+)", listing)
    if (int(version.group(1)), int(version.group(2))) > (6, 1):
        found.append(f"{exe}: subsystem version {version.group(1)}.{version.group(2)}, above Windows 7's 6.1")
    if not dlls:
        found.append(f"{exe}: no import table read")
    # On a Remote Desktop session host the client needs the system's Windows folder, not a per-user one.
    flags = int(re.search(r"^DllCharacteristics\s+([0-9a-fA-F]+)$", listing, re.M).group(1), 16)
    if entry == "wWinMain" and not flags & 0x8000:
        found.append(f"{exe}: not terminal-server aware (DllCharacteristics {flags:#06x})")
    for dll in dlls:
        if dll == "comctl32.dll":
            if COMMON_CONTROLS not in Path(exe).read_bytes():
                found.append(f"{exe}: imports COMCTL32 without a manifest binding the system's copy")
        elif dll not in KNOWN_DLLS:
            found.append(f"{exe}: imports {dll}, which is no KnownDLL and would be looked for beside the program")
    identity = re.search(rb'<assemblyIdentity[^>]*name="Tallyhawk[^"]*"[^>]*processorArchitecture="([^"]*)"',
                         Path(exe).read_bytes())
    pe_format = re.search(r"file format (\S+)", listing).group(1)
    if identity and identity.group(1) != MANIFEST_ARCH.get(pe_format):
        found.append(f"{exe}: a {pe_format} program whose manifest names {identity.group(1).decode()}")
    statement = first_statement(source, entry)
    if statement != FIRST_CALL:
        found.append(f"{source}: {entry} begins with {statement!r}, not {FIRST_CALL!r}")
    return found


def main(argv):
    objdump, cc, targets = argv[1], argv[2], argv[3:]
    newer = declared(cc, "0x0A00") - declared(cc, "0x0601") | UNGUARDED
    found = []
    for target in targets:
        exe, source, entry = target.rsplit(":", 2)
        found += problems(objdump, exe, source, entry, newer)
    if not planted_refused(objdump, cc):
        found.append("the check does not refuse a program that imports a forwarded function")
    for p in found:
        print(p)
    print("ok" if not found else f"{len(found)} problem(s)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

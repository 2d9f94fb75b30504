#!/usr/bin/env python3
"""The client is linked terminal-server aware: on a Remote Desktop session
host Windows otherwise gives it a per-user Windows folder (and other
compatibility shims). Reads the flag from the PE header's DllCharacteristics,
for 32-bit and 64-bit images alike.

usage: check_terminal_server_aware.py EXE...
"""
import struct
import sys

TERMINAL_SERVER_AWARE = 0x8000
OPTIONAL_HEADER_MAGIC = {0x10B: "PE32", 0x20B: "PE32+"}


def dll_characteristics(data):
    """DllCharacteristics of a PE image (the same offset in PE32 and PE32+)."""
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    optional = pe + 4 + 20  # after the signature and the COFF file header
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic not in OPTIONAL_HEADER_MAGIC:
        raise ValueError(f"unknown optional header magic {magic:#x}")
    return struct.unpack_from("<H", data, optional + 70)[0]


def main(argv):
    failed = 0
    for exe in argv[1:]:
        with open(exe, "rb") as f:
            flags = dll_characteristics(f.read())
        aware = bool(flags & TERMINAL_SERVER_AWARE)
        print(f"{exe}: DllCharacteristics {flags:#06x}, terminal-server aware: {aware}")
        failed += not aware
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

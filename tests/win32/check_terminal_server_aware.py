#!/usr/bin/env python3
"""The client is linked terminal-server aware (DllCharacteristics 0x8000 in
its PE header): on a Remote Desktop session host Windows would otherwise give
it a per-user Windows folder.

usage: check_terminal_server_aware.py OBJDUMP EXE
"""
import re
import subprocess
import sys

objdump, exe = sys.argv[1:3]
listing = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
flags = int(re.search(r"^DllCharacteristics\s+([0-9a-fA-F]+)$", listing, re.M).group(1), 16)
print(f"{exe}: DllCharacteristics {flags:#06x}")
sys.exit(0 if flags & 0x8000 else 1)

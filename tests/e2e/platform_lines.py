"""The Windows 11 facts of a record ("Platform" lines): values planted in a
prefix's registry, and what a delivered record must then hold. Under Wine
most facts are not supported; every line must still be there, each with a
value or the reason it has none."""

import re

NT = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion"
PLANTED = rf"""
[{NT}]
"CurrentBuild"="19045"
"UBR"=dword:00001938
"DisplayVersion"="22H2"
"EditionID"="Professional"

[{NT}\AppCompatFlags\TargetVersionUpgradeExperienceIndicators\GE24H2]
"UpgEx"="Red"
"RedReason"="CpuFms,Tpm UefiSecureBoot"

[HKEY_LOCAL_MACHINE\SYSTEM\Setup\MoSetup]
"AllowUpgradesWithUnsupportedTPMOrCPU"=dword:00000001
"""

# (Item, SubItem) of every line in the record's order; the planted target in the Appraiser's place.
LINES = [("Section", "Version"), ("CPU", "Vendor"), ("CPU", "Identifier"), ("CPU", "PlatformId"),
         ("CPU", "Arm81Atomics"), ("CPU", "LogicalProcessors"), ("CPU", "Architecture"), ("Memory", "Installed"),
         ("Firmware", "Type"), ("Firmware", "SecureBootCapable"), ("Firmware", "SecureBootEnabled"),
         ("Firmware", "SecureBootCA2023"), ("TPM", "Version"), ("OS", "CurrentBuild"), ("OS", "UBR"),
         ("OS", "DisplayVersion"), ("OS", "EditionID"), ("Appraiser", "GE24H2"), ("Appraiser", "Bypass")]
REASON = re.compile(r"unsupported|denied|error 0x[0-9A-F]{8}")


def check(test, rows, architecture):
    """`rows`: a delivered record's lines split into fields. The Platform lines
    come right before the asset lines, all of them, with the planted values."""
    platform = [r for r in rows if r[1] == "Platform"]
    test.assertEqual([tuple(r[2:4]) for r in platform], LINES)
    first = rows.index(platform[0])
    test.assertEqual(rows[first:first + len(LINES)], platform, "Platform lines apart")
    test.assertEqual([r[1] for r in rows[first + len(LINES):]], ["資産"] * 3)
    facts = {tuple(r[2:4]): tuple(r[4:6]) for r in platform}
    test.assertEqual({k: facts[k] for k in [("Section", "Version"), ("CPU", "Architecture"), ("OS", "CurrentBuild"),
                                            ("OS", "UBR"), ("OS", "DisplayVersion"), ("OS", "EditionID"),
                                            ("Appraiser", "GE24H2"), ("Appraiser", "Bypass")]},
                     {("Section", "Version"): ("1", ""), ("CPU", "Architecture"): (architecture, ""),
                      ("OS", "CurrentBuild"): ("19045", ""), ("OS", "UBR"): ("6456", ""),
                      ("OS", "DisplayVersion"): ("22H2", ""), ("OS", "EditionID"): ("Professional", ""),
                      ("Appraiser", "GE24H2"): ("Red", "CpuFms Tpm UefiSecureBoot"),
                      ("Appraiser", "Bypass"): ("MoSetup", "")})
    # A value, or no value and a reason; the memory's unit is KB.
    test.assertEqual([r[2:6] for r in platform if not r[4] and not REASON.fullmatch(r[5])], [])
    test.assertIn(facts[("Memory", "Installed")][1], ("KB", "unsupported"))

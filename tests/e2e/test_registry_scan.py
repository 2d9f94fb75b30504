#!/usr/bin/env python3
"""The registry scan on the real program, through the real cmd.exe and
reg.exe, with stand-ins for the task scheduler and the elevation prompt:
accepted, the elevated RegScan.CMD lists the three uninstall keys into the
dump; refused, the dump holds only the cancel marker, the run says so and
leaves no working file. The program and the user's temporary folder (where
the run keeps its batch files) sit in a folder whose name holds an
apostrophe, an ampersand, parentheses, blanks and Japanese."""

import time
import unittest

import harness
import runs

FOLDER = r"C:\users\O'Brien\R&D ソフト (2)"
TEMP = FOLDER + "\\Temp\\"  # the user's temporary folder

UNINSTALL = r"Microsoft\Windows\CurrentVersion\Uninstall"
MACHINE = "HKEY_LOCAL_MACHINE\\SOFTWARE\\" + UNINSTALL
USER = "HKEY_CURRENT_USER\\Software\\" + UNINSTALL
WOW = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\" + UNINSTALL

# Entries (key, [(value, type, data)]) in the order reg lists them: keys and
# values sorted by name.
ENTRIES = [
    (MACHINE + r"\THe2e A", [("DisplayName", "REG_SZ", "Alpha Tool"), ("DisplayVersion", "REG_SZ", "1.2"),
                             ("EstimatedSize", "REG_DWORD", 1234), ("Publisher", "REG_SZ", "Alpha Works")]),
    (MACHINE + r"\THe2e B", [("DisplayName", "REG_SZ", "Beta Update (KB1234567)"),
                             ("ParentDisplayName", "REG_SZ", "Beta")]),
    (MACHINE + r"\THe2e C", [("DisplayName", "REG_SZ", "日本語 ソフト"), ("DisplayVersion", "REG_SZ", "2.0")]),
    (MACHINE + r"\THe2e D", [("Publisher", "REG_SZ", "No Name")]),
    (USER + r"\THe2e U", [("DisplayName", "REG_SZ", "ユーザー アプリ"),
                          ("InstallLocation", "REG_SZ", r"C:\users\me\app")]),
    (WOW + r"\THe2e W", [("DisplayName", "REG_SZ", "32bit App"), ("ProductID", "REG_SZ", "PID-32")]),
    (WOW + r"\THe2e W\Child", [("DisplayName", "REG_SZ", "Child Part"), ("ParentDisplayName", "REG_SZ", "32bit App")]),
]


def reg_file_text():
    out = []
    for key, values in ENTRIES:
        out.append(f"[{key}]")
        for name, kind, data in values:
            if kind == "REG_DWORD":
                out.append(f'"{name}"=dword:{data:08x}')
            else:
                out.append(f'"{name}"="{data.replace(chr(92), chr(92) * 2)}"')
        out.append("")
    return "\n".join(out)


def expected_dump():
    """reg query /s of each root in turn: an empty line, then per key its
    path, its values indented four blanks with four blanks between name,
    type and data, and an empty line."""
    text = ""
    for root in (MACHINE, USER, WOW):
        text += "\r\n"
        for key, values in ENTRIES:
            if not key.startswith(root + "\\"):
                continue
            text += key + "\r\n"
            for name, kind, data in values:
                shown = hex(data) if kind == "REG_DWORD" else data
                text += f"    {name}    {kind}    {shown}\r\n"
            text += "\r\n"
    return text.encode("cp932")


def batch(lines):
    return ("".join(line + "\r\n" for line in lines) + "\r\n").encode("cp932")


def runas(run):
    """Runas.CMD of the run whose folder in the temporary folder is named `run`."""
    return batch([
        "@echo off",
        'cd /d "%~dp0"',
        "",
        # In PowerShell's apostrophes the apostrophe is doubled; "&" is escaped for cmd.
        r"@powershell start-process 'C:\users\O''Brien\R^&D ソフト (2)\Temp" + f"\\{run}\\RegScan.CMD' -verb runas",
        "if %ERRORLEVEL% == 1 (",
        r'echo UAC_Cancel > "C:\users\O' + "'" + r'Brien\R&D ソフト (2)\Temp' + f'\\{run}\\TH_reg.TxT")',
        "",
    ])

REGSCAN = batch([
    "@echo off",
    'cd /d "%~dp0"',
    "",
    "rem データファイルをクリア",
    r"Set THREG=.\TH_reg.TxT",
    "@del /q %THREG% 2>NUL",
    "",
    "rem レジストリよりインストール情報取得",
    f'@reg query "{MACHINE}" /s >>%THREG% 2>&1',
    f'@reg query "{USER}" /s >>%THREG% 2>&1',
    f'@reg query "{WOW}" /s >>%THREG% 2>&1',
    "",
])


class RegistryScan(unittest.TestCase):
    def start(self, s, refuse):
        config = harness.current_config()
        s.install_standins({"schtasks.exe": config.tool("schtasks_standin.exe"),
                            "powershell.exe": config.tool("powershell_standin.exe")})
        if refuse:
            s.env["STANDIN_UAC"] = "refuse"
        program = s.put(config.exe, FOLDER)
        s.unix_path(FOLDER).joinpath("Temp").mkdir()
        for name in ("TEMP", "TMP"):
            s.reg_add(r"HKCU\Environment", name, TEMP.rstrip("\\"))
        return s.start(program, log="program.log")

    def wait_for_dump(self, s, process, expected, seconds=30):
        """The dump as it stands once it equals `expected`, or when the
        program's 30 s wait is nearly over."""
        deadline = time.monotonic() + seconds
        content = None
        while time.monotonic() < deadline and process.running():
            dumps = [f / "TH_reg.TxT" for f in runs.run_folders(s)]
            content = dumps[0].read_bytes() if dumps and dumps[0].is_file() else None
            if content == expected:
                break
            time.sleep(0.2)
        return content

    def calls(self, s):
        log = s.unix_path(r"C:\windows\temp\standin-calls.log")
        return [line.split("\t") for line in log.read_text(encoding="utf-8").splitlines()]

    def test_accepted_elevation_lists_the_three_uninstall_keys(self):
        with harness.Scenario("registry_scan_accepted") as s:
            s.import_reg(reg_file_text())
            process = self.start(s, refuse=False)

            dump = self.wait_for_dump(s, process, expected_dump())
            self.assertEqual(dump, expected_dump())

            # The dump is done while TrustLevel.CMD still waits out its ten
            # seconds; then the program deletes it.
            # The run's own folder: TH-<16 hex digits> in the temporary folder.
            folders = runs.run_folders(s)
            self.assertEqual(len(folders), 1, folders)
            save, run = folders[0], folders[0].name
            self.assertRegex(run, r"\ATH-[0-9A-F]{16}\Z")
            deadline = time.monotonic() + 20
            while (save / "TrustLevel.CMD").exists() and time.monotonic() < deadline:
                time.sleep(0.2)
            self.assertEqual(sorted(p.name for p in save.iterdir()), ["RegScan.CMD", "Runas.CMD", "TH_reg.TxT"],
                             "TrustLevel.CMD is deleted once it has run")
            self.assertEqual((save / "Runas.CMD").read_bytes(), runas(run))
            self.assertEqual((save / "RegScan.CMD").read_bytes(), REGSCAN)

            runas_path = TEMP + run + r"\Runas.CMD"
            regscan = TEMP + run + r"\RegScan.CMD"
            calls = self.calls(s)
            self.assertEqual([c[3] for c in calls if c[0] == "schtasks"],
                             ["created", "started " + runas_path, "deleted"])
            self.assertIn(f'/tn TH_tmp_task_{run[3:]} /tr "{runas_path}" /sc once /st 00:00 /f', calls[0][2])
            self.assertEqual([c[3] for c in calls if c[0] == "powershell"], ["elevated " + regscan])
            # The batch moved to its own folder before asking for elevation.
            self.assertEqual([c[1] for c in calls if c[0] == "powershell"], [TEMP + run])
            self.assertTrue(process.running(), "the run goes on to its entry form")

    def test_refused_elevation_ends_the_run_with_its_message(self):
        with harness.Scenario("registry_scan_refused") as s:
            process = self.start(s, refuse=True)

            self.assertEqual(self.wait_for_dump(s, process, b"UAC_Cancel \r\n"), b"UAC_Cancel \r\n")
            run = runs.run_folders(s)[0].name
            self.assertEqual([c[3] for c in self.calls(s) if c[0] == "powershell"],
                             ["refused " + TEMP + run + r"\RegScan.CMD"])

            # TrustLevel.CMD's ten seconds, then the program's 30 s and 6 s waits.
            self.assertEqual(s.message_box_text("インベントリ収集", timeout=70),
                             "キャンセルしたので、データ収集を中止しました。")
            s.screenshot("refused.png")
            box = s.find_window("インベントリ収集")
            s.key("Return", window=box)
            self.assertEqual(process.wait(30), 0)

            save = s.unix_path(FOLDER + r"\SAVE")
            self.assertTrue(save.is_dir(), "SAVE is made in the current folder")
            self.assertEqual(list(save.iterdir()), [])
            self.assertEqual(runs.run_folders(s), [], "batch files, dump and their folder are deleted")
            self.assertFalse(s.unix_path(FOLDER + r"\Error.Log").exists())


if __name__ == "__main__":
    harness.main()

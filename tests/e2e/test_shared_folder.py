#!/usr/bin/env python3
"""Many PCs starting the program from one shared folder: each Wine prefix is
a PC (its own computer name through `unshare --uts`, its own installed
software) and maps one host folder as its share S: and \\\\server\\share.
Runs at the same time keep to their own working files and data, Error.Log
entries of all of them arrive whole, a CSV of another PC under the same
number is set aside rather than replaced, and batch files found in SAVE (left
by an older version, or planted) are neither run nor appended to: each run
keeps its own in its PC's temporary folder."""

import contextlib
import os
import re
import shutil
import tempfile
import time
import unittest
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import harness
import runs

UNINSTALL = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
ENTRY_LINE = re.compile(r"\A\d{4}/\d\d/\d\d \d\d:\d\d:\d\d \t[^\t]*(\t[^\t]*){9}\Z")


def software(pc):
    """The installed application only this PC has."""
    return f"Only on {pc}"


def records(csv: Path):
    text = csv.read_bytes().decode("cp932")
    return [line.split(",") for line in text.split("\r\n")[1:] if line]


def applications(rows):
    return [r[3] for r in rows if r[1:3] == ["Soft", "Application"]]


def computer_names(rows):
    return {r[4].upper() for r in rows if r[1:4] == ["LAN", "LAN", "コンピュータ名"]}


class SharedFolder(unittest.TestCase):
    def setUp(self):
        if os.geteuid() != 0:
            self.skipTest("unshare --uts (a computer name per prefix) needs root")
        self.share = Path(tempfile.mkdtemp(prefix="tallyhawk-share-"))
        self.addCleanup(shutil.rmtree, self.share, ignore_errors=True)
        self.tools = self.share / "tallyhawk"
        self.tools.mkdir()
        shutil.copy(harness.current_config().exe, self.tools / "tallyhawk.exe")
        self.save = self.tools / "SAVE"

    def pcs(self, stack, *names, apps=None):
        """One scenario per computer name, each a PC on the share with its
        own application (software(apps[n])); the registry scan goes the
        whole way (task, elevation accepted, reg) through the stand-ins."""
        config = harness.current_config()
        made = []
        for n, (name, app) in enumerate(zip(names, apps or names)):
            s = stack.enter_context(harness.Scenario(f"shared_{self._testMethodName[5:]}_{n}", hostname=name))
            s.map_share(self.share)
            s.install_standins({"schtasks.exe": config.tool("schtasks_standin.exe"),
                                "powershell.exe": config.tool("powershell_standin.exe")})
            s.import_reg(f'[{UNINSTALL}\\THe2e {app}]\n"DisplayName"="{software(app)}"\n')
            made.append(s)
        return made

    def run_on(self, s, entry, delay=0):
        """One whole run on PC `s`: start after `delay` s, answer the form,
        the final notice, OK. Returns the notice's text."""
        time.sleep(delay)
        process = s.start(r"S:\tallyhawk\tallyhawk.exe", cwd=s.drive_c)
        form = runs.wait_entry_form(s, process, timeout=300)
        self.assertIsNotNone(form, f"no entry form on {s.hostname}")
        runs.fill_entry_form(s, form, entry)
        ending = runs.wait_final_notice(s, process, timeout=400)
        self.assertIsNotNone(ending.final, f"no final notice on {s.hostname}")
        runs.dismiss_final_notice(s)
        self.assertEqual(process.wait(60), 0)
        return ending.message

    def run_together(self, scenarios, entries, gap=2):
        with ThreadPoolExecutor(len(scenarios)) as pool:
            futures = [pool.submit(self.run_on, s, e, delay=n * gap) for n, (s, e) in enumerate(zip(scenarios, entries))]
            return [f.result() for f in futures]

    def assert_log_whole(self, expected):
        """Every Error.Log line keeps its layout; `expected` lists the
        (computer, procedure, number) of every entry, in any order."""
        lines = (self.tools / "Error.Log").read_bytes().decode("cp932").split("\r\n")
        self.assertEqual(lines[-1], "")
        self.assertEqual([line for line in lines[:-1] if not ENTRY_LINE.match(line)], [])
        entries = [line.split("\t") for line in lines[:-1]]
        self.assertEqual(sorted((e[1], e[2], e[3]) for e in entries), sorted(expected))

    def test_three_pcs_at_once(self):
        names = ("PC-ALPHA", "PC-BETA", "PC-GAMMA")
        entries = [runs.Entry(parts=("abc", "05", str(n))) for n in (1, 2, 3)]
        with contextlib.ExitStack() as stack:
            pcs = self.pcs(stack, *names)
            self.assertEqual(self.run_together(pcs, entries), [runs.SUCCESS] * 3)

        self.assertEqual(sorted(p.name for p in self.save.iterdir()), [e.number + ".csv" for e in entries],
                         "SAVE holds the three CSVs only")
        for name, entry in zip(names, entries):
            rows = records(self.save / (entry.number + ".csv"))
            self.assertEqual(computer_names(rows), {name})
            mine = [a for a in applications(rows) if a.startswith("Only on ")]
            self.assertEqual(mine, [software(name)], f"{name}'s CSV")
        # Under Wine each run logs its BIOS query's failure.
        self.assert_log_whole([(name, "GetBIOS", e.number) for name, e in zip(names, entries)])

    def test_two_sessions_of_one_terminal_server(self):
        """Same computer name, separate sessions: the single-instance check
        of one does not see the other."""
        entries = [runs.Entry(parts=("abc", "05", "21")), runs.Entry(parts=("abc", "05", "22"))]
        with contextlib.ExitStack() as stack:
            # Each session's own application tells their data apart.
            first, second = self.pcs(stack, "TS-01", "TS-01", apps=("TS-01 a", "TS-01 b"))
            self.assertEqual(self.run_together([first, second], entries, gap=1), [runs.SUCCESS] * 2)

        self.assertEqual(sorted(p.name for p in self.save.iterdir()), [e.number + ".csv" for e in entries])
        for entry, own in zip(entries, ("TS-01 a", "TS-01 b")):
            mine = [a for a in applications(records(self.save / (entry.number + ".csv"))) if a.startswith("Only on ")]
            self.assertEqual(mine, [software(own)])
        self.assert_log_whole([("TS-01", "GetBIOS", e.number) for e in entries])

    def test_same_number_from_another_pc_and_stale_working_files(self):
        """PC-ALPHA runs twice (the second run replaces its own file), over
        batch files in SAVE under the names older versions used;
        then PC-BETA delivers the same number: PC-ALPHA's file is set aside
        under its day and computer name. (Wine 8 cannot start a program from
        a UNC path, so every PC here uses the mapped drive.)"""
        entry = runs.Entry(parts=("abc", "05", "7"))
        stale = "@echo off\r\necho stale> \"%~dp0stale-ran.txt\"\r\n".encode("cp932")
        left = [self.save / name for name in ("Runas.CMD", "RegScan.CMD")]
        left += [self.save / "PC-ALPHA-1" / name for name in ("Runas.CMD", "RegScan.CMD")]
        for path in left:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(stale)

        with contextlib.ExitStack() as stack:
            alpha, beta = self.pcs(stack, "PC-ALPHA", "PC-BETA")
            self.assertEqual(self.run_on(alpha, entry), runs.SUCCESS)
            self.assertEqual(self.run_on(alpha, entry), runs.SUCCESS)
            delivered = self.save / (entry.number + ".csv")
            self.assertEqual(computer_names(records(delivered)), {"PC-ALPHA"})
            self.assertEqual(sorted(p.name for p in self.save.glob("*.csv")), [delivered.name],
                             "a re-run on the same PC replaces its own file")
            alpha_csv = delivered.read_bytes()

            self.assertEqual(self.run_on(beta, entry), runs.SUCCESS)
            for pc in (alpha, beta):
                self.assertEqual(runs.run_folders(pc), [], f"a run folder left on {pc.hostname}")

        self.assertEqual(computer_names(records(delivered)), {"PC-BETA"})
        day = records(delivered)[0][6].replace("/", "-")
        aside = self.save / f"{entry.number} (前回 {day} PC-ALPHA).csv"
        self.assertEqual(sorted(p.name for p in self.save.glob("*.csv")), sorted([delivered.name, aside.name]))
        self.assertEqual(aside.read_bytes(), alpha_csv, "PC-ALPHA's file is kept as it was")

        for path in left:
            self.assertEqual(path.read_bytes(), stale, f"{path} was changed")
        self.assertEqual(list(self.share.rglob("stale-ran.txt")), [], "a stale batch file ran")


if __name__ == "__main__":
    harness.main()

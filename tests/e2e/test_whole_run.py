#!/usr/bin/env python3
"""Whole runs of the real program, from start to its final notice: the CSV
it delivers (bytes, order of the collectors, the asset records), Explorer on
the output folder, the working files it removes; a destination that cannot
be written; the desktop marker moving the output to the desktop."""

import re
import time
import unittest

import harness
import platform_lines
import runs

FOLDER = r"C:\棚卸 (2)"
NUMBER = runs.SAMPLE.number
DESKTOP_ENTRY = runs.MISTYPED

UNINSTALL = r"Microsoft\Windows\CurrentVersion\Uninstall"
INSTALLED = f"""
[HKEY_LOCAL_MACHINE\\SOFTWARE\\{UNINSTALL}\\WR Alpha]
"DisplayName"="Alpha, Tool"
"DisplayVersion"="1.2"
"Publisher"="Alpha Works"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\{UNINSTALL}\\WR Beta]
"DisplayName"="Beta Update (KB1234567)"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\{UNINSTALL}\\WR Gamma]
"DisplayName"="日本語 ソフト"
"DisplayVersion"="2.0"
"ProductID"="PID-7"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\{UNINSTALL}\\WR Gamma Part]
"DisplayName"="Gamma Part"
"ParentDisplayName"="日本語 ソフト"

[HKEY_CURRENT_USER\\Software\\{UNINSTALL}\\WR User]
"DisplayName"="ユーザー アプリ"
"InstallLocation"="C:\\\\users\\\\me\\\\app"
"""
# What SoftCheck makes of them, in the order reg lists them (machine keys
# sorted, then the user's): no update, no child entry, commas dropped.
APPLICATIONS = [
    ("Alpha Tool", "1.2", "Alpha Works"),
    ("日本語 ソフト", "2.0", "PID-7"),
    ("ユーザー アプリ", "", r"C:\users\me\app"),
]

# The records each collector may write, in the order the run calls them:
# (Group, Item, SubItems or None for any).
ADAPTER = "Adapter<n>"  # Adapter, Adapter2, ...
COLLECTORS = [
    ("GetKey", [("Create", "DateTime", None), ("LAN", ADAPTER, None)]),
    ("GetCPU", [("Hard", "CPU", None)]),
    ("GetBIOS", [("WMI", "BIOS", None)]),
    ("GetPC", [("LAN", "LAN", {"コンピュータ名", "ドメイン", "ワークグループ", "ユーザー名"}),
               ("WMI", "System", {"Vendor", "Model"})]),
    ("GetPCName", [("LAN", "LAN", {"コンピュータ名"})]),
    ("GetWindows", [("Soft", "OS", {"Version", "ProductID", "SystemPath"}),
                    ("LAN", "LAN", {"コンピュータ名", "コンピュータの説明"}),
                    ("Hard", "メモリ", {"全容量"}), ("Hard", "SystemHDD", {"Drive"})]),
    ("GetDisk", [("Hard", "SystemHDD", {"全容量", "空容量"}), ("Hard", "Hard Disk", {"合計量"})]),
    ("GetOSVersion", [("Soft", "OS", {"Version"})]),
    ("GetPCCase", [("WMI", "System", {"PC_Type"})]),
    ("GetMB", [("WMI", "MotherBoard", {"Vendor", "Product", "SerialNo"})]),
    ("GetUUID", [("WMI", "MotherBoard", {"Device_ID"})]),
    ("GetDisplay", [("Hard", "画面", {"解像度"})]),
    ("GetKeyboard", [("Hard", "Keyboard", None)]),
    ("GetPrinter", [("Hard", "Printer", None)]),
    ("SoftCheck", [("Soft", "Application", None)]),
    ("GetPlatform", [("Platform", None, None)]),
    ("SaveInputData", [("資産", "管理情報", {"姓", "名", "管理番号"})]),
]
# Under Wine every collector but these writes records: the BIOS query fails
# (docs/wmi-under-wine.md), there is no keyboard or default printer, the OS
# version comes from WMI, and the computer name from either of two.
WRITING_UNDER_WINE = {"GetKey", "GetCPU", "GetPC", "GetWindows", "GetDisk", "GetPCCase", "GetMB", "GetUUID",
                      "GetDisplay", "SoftCheck", "GetPlatform", "SaveInputData"}


def writes(collector, group, item, sub_item):
    for g, i, subs in dict(COLLECTORS)[collector]:
        if g == group and (re.fullmatch(r"Adapter\d*", item) if i == ADAPTER else i in (None, item)) \
                and (subs is None or sub_item in subs):
            return True
    return False


def collectors_of(records):
    """The collector of each record, taking the earliest one that may have
    written it and comes no earlier than the last; None where none fits."""
    names = [name for name, _ in COLLECTORS]
    at, out = 0, []
    for r in records:
        fits = [k for k in range(at, len(names)) if writes(names[k], r[1], r[2], r[3])]
        if not fits:
            out.append(None)
            continue
        at = fits[0]
        out.append(names[at])
    return out


def snapshot(folder):
    return sorted((str(p.relative_to(folder)), p.stat().st_size if p.is_file() else -1)
                  for p in folder.rglob("*"))


class WholeRun(unittest.TestCase):
    def run_to_final_notice(self, s, shots=None, entry=runs.SAMPLE):
        """Starts the program, answers the form with the sample entry and
        watches until the final notice (Explorer closed). Returns (process,
        ending, local time just before OK, local time at the notice)."""
        _, process = runs.start_program(s, FOLDER)
        form = runs.wait_entry_form(s, process)
        self.assertIsNotNone(form, "no entry form")
        confirmed = time.localtime()
        runs.fill_entry_form(s, form, entry)
        ending = runs.wait_final_notice(s, process)
        self.assertIsNotNone(ending.final, "no final notice")
        if ending.start_notice is not None:  # on screen for a few seconds only; the poll may miss it
            self.assertIn("データ収集中です。", [c["text"] for c in ending.start_notice["children"]])
        if shots:
            shot = s.screenshot(shots)
            runs.crop_to(s, ending.final, shot, s.artifacts / ("cropped-" + shots))
        return process, ending, confirmed, time.localtime()

    def end_run(self, s, process):
        runs.dismiss_final_notice(s)
        self.assertEqual(process.wait(60), 0)

    def assert_no_working_files(self, s):
        self.assertEqual(runs.working_record_files(s), [], "a working record file is left")
        save = s.unix_path(FOLDER) / "SAVE"
        self.assertEqual([n for n in runs.WORKING_FILES if (save / n).exists()], [])
        self.assertEqual(runs.run_folders(s), [], "a run folder left")

    def test_normal_run(self):
        with harness.Scenario("whole_run_normal") as s:
            # The registry scan goes the whole way: task, elevation accepted, reg.
            config = harness.current_config()
            s.install_standins({"schtasks.exe": config.tool("schtasks_standin.exe"),
                                "powershell.exe": config.tool("powershell_standin.exe")})
            s.import_reg(INSTALLED + platform_lines.PLANTED)
            process, ending, confirmed, noticed = self.run_to_final_notice(s, shots="notice_success.png")
            self.assertEqual(ending.message, runs.SUCCESS)
            self.assertEqual([w["class"] for w in ending.explorers], ["ExplorerWClass"], "one Explorer window")
            self.end_run(s, process)

            tools = s.unix_path(FOLDER)
            save = tools / "SAVE"
            self.assertEqual(sorted(p.name for p in save.iterdir()), [NUMBER + ".csv"],
                             "only the CSV stays in SAVE")
            self.assert_no_working_files(s)
            self.check_csv(s, (save / (NUMBER + ".csv")).read_bytes(), confirmed, noticed)
            runs.keep_delivered(save / (NUMBER + ".csv"))

            entries = runs.error_log_entries(tools)
            self.assertEqual({e[2] for e in entries}, {"GetBIOS"}, entries)
            self.assertTrue(all(e[3] == NUMBER for e in entries), entries)

    def check_csv(self, s, data, confirmed, noticed):
        text = data.decode("cp932")  # strict: any byte outside code page 932 fails
        self.assertTrue(text.endswith("\r\n"))
        lines = text[:-2].split("\r\n")
        self.assertFalse(any("\r" in line or "\n" in line for line in lines), "a line end other than CR LF")
        self.assertEqual(lines[0], runs.HEADER)
        records = [line.split(",") for line in lines[1:]]
        self.assertTrue(all(len(r) == 7 for r in records), [r for r in records if len(r) != 7])

        # The key block: the run's date and time, which every record carries.
        key, group, item, date, clock, unit, renewal = records[0]
        self.assertEqual((key, group, item, unit), (NUMBER, "Create", "DateTime", ""))
        days = {time.strftime("%Y/%m/%d", t) for t in (confirmed, noticed)}
        self.assertIn(date, days)
        self.assertEqual(renewal, date)
        self.assertRegex(clock, r"\A\d\d:\d\d:\d\d\Z")
        if len(days) == 1:
            self.assertLessEqual(time.strftime("%H:%M:%S", confirmed), clock)
            self.assertLessEqual(clock, time.strftime("%H:%M:%S", noticed))
        self.assertEqual({(r[0], r[6]) for r in records}, {(NUMBER, date)})
        for r in records:
            self.assertEqual([f for f in r if f != f.strip() or '"' in f], [], r)

        # Records come collector by collector, in the order of the run.
        owners = collectors_of(records)
        self.assertNotIn(None, owners, [",".join(r[1:4]) for r, o in zip(records, owners) if o is None])
        self.assertEqual(set(owners) - {"GetPCName"}, WRITING_UNDER_WINE)

        adapters = [r[2] for r in records if r[1] == "LAN" and r[2].startswith("Adapter")]
        numbered = list(dict.fromkeys(adapters))
        self.assertEqual(numbered, ["Adapter"] + [f"Adapter{n}" for n in range(2, len(numbered) + 1)])
        self.assertEqual([r[3] for r in records if r[1:3] == ["Soft", "OS"]].count("Version"), 1)

        self.assertEqual([tuple(r[3:6]) for r in records if r[1:3] == ["Soft", "Application"]], APPLICATIONS)
        platform_lines.check(self, records, "x64")
        self.assertEqual([r[1:6] for r in records[-3:]], [
            ["資産", "管理情報", "姓", runs.SAMPLE.surname, ""],
            ["資産", "管理情報", "名", runs.SAMPLE.given, ""],
            ["資産", "管理情報", "管理番号", NUMBER, ""],
        ])

    def test_destination_cannot_be_written(self):
        with harness.Scenario("whole_run_unwritable") as s:
            save = s.unix_path(FOLDER) / "SAVE"
            blocker = save / (NUMBER + ".csv")
            blocker.mkdir(parents=True)
            (blocker / "keep.txt").write_bytes(b"kept\r\n")
            before = snapshot(blocker)

            process, ending, _, _ = self.run_to_final_notice(s, shots="notice_failure.png")
            self.assertEqual(ending.message, runs.FAILURE)
            self.assertEqual(ending.explorers, [], "Explorer opened after a failed delivery")
            self.end_run(s, process)

            self.assertEqual(snapshot(blocker), before, "the folder in the way was changed")
            self.assertEqual(sorted(p.name for p in save.iterdir()), [NUMBER + ".csv"])
            self.assert_no_working_files(s)
            # A failed delivery is told by its notice and one Error.Log entry: the whole copy could not take the
            # number's name (and went again: only the folder in the way is left in SAVE).
            procedures = [e[2] for e in runs.error_log_entries(s.unix_path(FOLDER))]
            self.assertEqual(sorted(set(procedures)), ["Deliver", "GetBIOS"])
            self.assertEqual(procedures.count("Deliver"), 1)

    def test_desktop_marker(self):
        with harness.Scenario("whole_run_desktop") as s:
            marker = s.unix_path(FOLDER) / "DAT" / "Desktop.txt"
            marker.parent.mkdir(parents=True)
            marker.write_bytes(b"")
            self.assertFalse((s.desktop / "SAVE").exists())

            process, ending, _, _ = self.run_to_final_notice(s, entry=DESKTOP_ENTRY)
            self.assertEqual(ending.message, runs.SUCCESS)
            self.assertEqual(len(ending.explorers), 1)
            self.end_run(s, process)

            number = DESKTOP_ENTRY.number
            delivered = s.desktop / "SAVE" / (number + ".csv")
            self.assertTrue(delivered.is_file(), list((s.desktop / "SAVE").iterdir()))
            lines = delivered.read_bytes().decode("cp932").split("\r\n")
            self.assertEqual(lines[0], runs.HEADER)
            self.assertEqual(lines[-2], f"{number},資産,管理情報,管理番号,{number},,{lines[1].split(',')[6]}")
            self.assertEqual(sorted(p.name for p in (s.desktop / "SAVE").iterdir()), [number + ".csv"])
            save = s.unix_path(FOLDER) / "SAVE"
            self.assertEqual(list(save.iterdir()), [], "nothing in the program's own SAVE")
            self.assertTrue(marker.exists(), "the marker stays")
            self.assert_no_working_files(s)
            runs.keep_delivered(delivered)


if __name__ == "__main__":
    harness.main()

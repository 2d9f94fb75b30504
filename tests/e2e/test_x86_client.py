#!/usr/bin/env python3
"""The 32-bit client from start to end in a 32-bit prefix, or through WOW64 in a 64-bit one (--arch), where its
own listing holds both registry views' uninstall keys, each once, and every record equals the 64-bit client's (the
Windows 11 facts of the machine, not of the 32-bit process, among them)."""

import contextlib
import unittest

import harness
import platform_lines
import runs

UNINSTALL = r"Microsoft\Windows\CurrentVersion\Uninstall"
# (key, DisplayName, Publisher) in reg's order: machine, user, then the 32-bit view, which 32-bit Windows lacks.
ENTRIES = [(rf"HKEY_LOCAL_MACHINE\SOFTWARE\{UNINSTALL}\X86e2e A", "Native Tool", "Native Works"),
           (rf"HKEY_LOCAL_MACHINE\SOFTWARE\{UNINSTALL}\X86e2e B", "Native Two", ""),
           (rf"HKEY_CURRENT_USER\Software\{UNINSTALL}\X86e2e U", "ユーザー アプリ", ""),
           (rf"HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\{UNINSTALL}\X86e2e W", "Wow App", "Wow Works")]


def timeless(rows):
    """Records without the run's date and time (Create's SubItem and Contents, Renewalday) and free space."""
    return [r[:3] + (["", ""] if r[1] == "Create" else [r[3], "" if r[3] == "空容量" else r[4]]) + r[5:6] for r in rows]


class X86Client(unittest.TestCase):
    def setUp(self):
        self.config = harness.current_config()
        self.entries = ENTRIES if self.config.arch == "win64" else ENTRIES[:3]

    @contextlib.contextmanager
    def scenario(self, case, elevation=None):
        """A PC with the entries; `elevation` (accept, refuse) adds the task scheduler and consent prompt."""
        with harness.Scenario(f"x86_{self.config.arch}_{case}") as s:
            if elevation:
                s.install_standins({f"{name}.exe": self.config.tool(f"{name}_standin.exe")
                                    for name in ("schtasks", "powershell")})
                s.env["STANDIN_UAC"] = elevation
            s.import_reg("".join(f'[{key}]\n"DisplayName"="{name}"\n"Publisher"="{publisher}"\n\n'
                                 for key, name, publisher in self.entries) + platform_lines.PLANTED)
            yield s

    def whole_run(self, s, folder, exe=None):
        """A run answered with the sample entry to its success notice; the delivered records."""
        _, process = runs.start_program(s, folder, exe=exe)
        form = runs.wait_entry_form(s, process)
        self.assertIsNotNone(form, "no entry form")
        runs.fill_entry_form(s, form)
        self.assertEqual(runs.wait_final_notice(s, process).message, runs.SUCCESS)
        runs.dismiss_final_notice(s)
        self.assertEqual(process.wait(60), 0)
        self.assertEqual(runs.run_folders(s), [], "a run folder left")
        lines = (s.unix_path(folder) / "SAVE" / (runs.SAMPLE.number + ".csv")).read_bytes().decode("cp932")
        rows = [line.split(",") for line in lines.split("\r\n")[1:-1]]
        self.assertEqual([tuple(r[3:6]) for r in rows if r[1:3] == ["Soft", "Application"]],
                         [(name, "", publisher) for _, name, publisher in self.entries])
        self.assertEqual(rows[-1][1:5], ["資産", "管理情報", "管理番号", runs.SAMPLE.number])
        # The machine's architecture, not the process's: x86 only on 32-bit Windows.
        platform_lines.check(self, rows, "x64" if self.config.arch == "win64" else "x86")
        return rows

    def test_normal_run(self):
        with self.scenario("normal", elevation="accept") as s:
            self.whole_run(s, r"C:\tallyhawk")

    def test_refused_elevation(self):
        with self.scenario("refused", elevation="refuse") as s:
            _, process = runs.start_program(s, r"C:\tallyhawk")
            self.assertEqual(s.message_box_text(runs.RUN_TITLE, timeout=90), "キャンセルしたので、データ収集を中止しました。")
            s.key("Return", window=s.find_window(runs.RUN_TITLE))
            self.assertEqual(process.wait(30), 0)
            self.assertEqual(list(s.unix_path(r"C:\tallyhawk\SAVE").iterdir()), [])
            self.assertEqual(runs.run_folders(s), [], "batch files, dump and their folder are deleted")

    def test_own_listing(self):
        with self.scenario("own_listing") as s:
            rows = self.whole_run(s, r"C:\x86")
            if self.config.arch == "win64":
                native = self.whole_run(s, r"C:\x64", exe=self.config.build / "tallyhawk.exe")
                self.assertEqual(timeless(rows), timeless(native))


if __name__ == "__main__":
    harness.main()

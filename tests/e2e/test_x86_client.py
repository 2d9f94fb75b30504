#!/usr/bin/env python3
"""The 32-bit client (tallyhawk-x86.exe) from start to end, in a 32-bit
prefix or through WOW64 in a 64-bit one (--arch): a normal run, a refused
elevation, and its own listing when the elevated scan writes nothing. Through
WOW64 that listing holds the 64-bit and the 32-bit uninstall keys, each entry
once, and every record equals the 64-bit client's (the build's tallyhawk.exe)."""

import contextlib
import unittest

import harness
import runs

UNINSTALL = r"Microsoft\Windows\CurrentVersion\Uninstall"
# (key, DisplayName, Publisher), in the order reg lists them: machine, user, 32-bit view.
NATIVE = [(rf"HKEY_LOCAL_MACHINE\SOFTWARE\{UNINSTALL}\X86e2e A", "Native Tool", "Native Works"),
          (rf"HKEY_LOCAL_MACHINE\SOFTWARE\{UNINSTALL}\X86e2e B", "Native Two", ""),
          (rf"HKEY_CURRENT_USER\Software\{UNINSTALL}\X86e2e U", "ユーザー アプリ", "")]
WOW = [(rf"HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\{UNINSTALL}\X86e2e W", "Wow App", "Wow Works")]


def timeless(rows):
    """Records without what changes from one run to the next: the date and
    time (the first record's SubItem and Contents, every Renewalday) and the
    system drive's free space."""
    return [r[:3] + (["", ""] if r[1] == "Create" else [r[3], "" if r[3] == "空容量" else r[4]]) + r[5:6]
            for r in rows]


class X86Client(unittest.TestCase):
    def setUp(self):
        self.arch = harness.current_config().arch
        # A 32-bit Windows has one registry view only: no Wow6432Node.
        self.entries = NATIVE + (WOW if self.arch == "win64" else [])

    @contextlib.contextmanager
    def scenario(self, case, elevation=None):
        """A PC with the entries installed; `elevation` (accept, refuse): the
        task scheduler and the consent prompt, else no elevated scan at all."""
        with harness.Scenario(f"x86_{self.arch}_{case}") as s:
            if elevation:
                config = harness.current_config()
                s.install_standins({"schtasks.exe": config.tool("schtasks_standin.exe"),
                                    "powershell.exe": config.tool("powershell_standin.exe")})
                s.env["STANDIN_UAC"] = elevation
            s.import_reg("".join(f'[{key}]\n"DisplayName"="{name}"\n"Publisher"="{publisher}"\n\n'
                                 for key, name, publisher in self.entries))
            yield s

    def whole_run(self, s, folder, exe=None):
        """A run answered with the sample entry to its success notice; the
        delivered file's records, and its applications as (name, "", publisher)."""
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
        return rows

    def test_normal_run(self):
        with self.scenario("normal", elevation="accept") as s:
            self.whole_run(s, r"C:\tallyhawk")

    def test_refused_elevation(self):
        with self.scenario("refused", elevation="refuse") as s:
            _, process = runs.start_program(s, r"C:\tallyhawk")
            self.assertEqual(s.message_box_text(runs.RUN_TITLE, timeout=90),
                             "キャンセルしたので、データ収集を中止しました。")
            s.key("Return", window=s.find_window(runs.RUN_TITLE))
            self.assertEqual(process.wait(30), 0)
            self.assertEqual(list(s.unix_path(r"C:\tallyhawk\SAVE").iterdir()), [])
            self.assertEqual(runs.run_folders(s), [], "batch files, dump and their folder are deleted")

    def test_own_listing(self):
        with self.scenario("own_listing") as s:
            rows = self.whole_run(s, r"C:\x86")
            if self.arch == "win64":
                native = self.whole_run(s, r"C:\x64", exe=harness.current_config().build / "tallyhawk.exe")
                self.assertEqual(timeless(rows), timeless(native))


if __name__ == "__main__":
    harness.main()

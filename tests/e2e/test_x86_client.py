#!/usr/bin/env python3
"""The 32-bit client (tallyhawk-x86.exe) from start to end, in a 32-bit
prefix (32-bit Windows) or through WOW64 in a 64-bit one (--arch): a normal
run, a refused elevation, and the program's own listing when the elevated
scan writes nothing. Through WOW64 the listing is the machine's as it is:
the 64-bit and the 32-bit uninstall keys, each entry once, and every record
the same as the 64-bit client's (the build's tallyhawk.exe) on the same PC."""

import unittest

import harness
import runs

UNINSTALL = r"Microsoft\Windows\CurrentVersion\Uninstall"
MACHINE = "HKEY_LOCAL_MACHINE\\SOFTWARE\\" + UNINSTALL
USER = "HKEY_CURRENT_USER\\Software\\" + UNINSTALL
WOW = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\" + UNINSTALL

# (key, DisplayName, Publisher or None) in the order reg lists each root.
NATIVE = [(MACHINE + r"\X86e2e A", "Native Tool", "Native Works"),
          (MACHINE + r"\X86e2e B", "Native Two", None)]
OWN = [(USER + r"\X86e2e U", "ユーザー アプリ", None)]
WOW_ONLY = [(WOW + r"\X86e2e W", "Wow App", "Wow Works")]


def entries(arch):
    """A 32-bit Windows has one registry view only: no Wow6432Node."""
    return NATIVE + OWN + (WOW_ONLY if arch == "win64" else [])


def reg_text(listed):
    out = []
    for key, name, publisher in listed:
        out += [f"[{key}]", f'"DisplayName"="{name}"']
        out += [f'"Publisher"="{publisher}"'] if publisher else []
        out.append("")
    return "\n".join(out)


def applications(listed):
    """What the run records of them: machine, user, then 32-bit entries."""
    return [(name, "", publisher or "") for _, name, publisher in listed]


def records(csv_path):
    lines = csv_path.read_bytes().decode("cp932").split("\r\n")
    assert lines[0] == runs.HEADER and lines[-1] == "", lines[:1] + lines[-1:]
    return [line.split(",") for line in lines[1:-1]]


def timeless(rows):
    """Records without what changes from one run to the next: the run's date
    and time (the first record's SubItem and Contents, every Renewalday) and
    the system drive's free space."""
    return [r[:3] + (["", ""] if r[1] == "Create" else [r[3], "" if r[3] == "空容量" else r[4]]) + r[5:6]
            for r in rows]


class X86Client(unittest.TestCase):
    def setUp(self):
        self.arch = harness.current_config().arch

    def scenario(self, case):
        return harness.Scenario(f"x86_{self.arch}_{case}")

    def whole_run(self, s, folder, exe=None):
        """Starts the program in `folder`, answers the form and ends the run
        at the success notice; returns the delivered file's records."""
        _, process = runs.start_program(s, folder, exe=exe)
        form = runs.wait_entry_form(s, process)
        self.assertIsNotNone(form, "no entry form")
        runs.fill_entry_form(s, form)
        ending = runs.wait_final_notice(s, process)
        self.assertEqual(ending.message, runs.SUCCESS)
        runs.dismiss_final_notice(s)
        self.assertEqual(process.wait(60), 0)
        self.assertEqual(runs.run_folders(s), [], "a run folder left")
        return records(s.unix_path(folder) / "SAVE" / (runs.SAMPLE.number + ".csv"))

    def software(self, rows):
        return [tuple(r[3:6]) for r in rows if r[1:3] == ["Soft", "Application"]]

    def elevation_standins(self, s):
        config = harness.current_config()
        s.install_standins({"schtasks.exe": config.tool("schtasks_standin.exe"),
                            "powershell.exe": config.tool("powershell_standin.exe")})

    def test_normal_run(self):
        with self.scenario("normal") as s:
            self.elevation_standins(s)
            s.import_reg(reg_text(entries(self.arch)))
            rows = self.whole_run(s, r"C:\tallyhawk")
            self.assertEqual(self.software(rows), applications(entries(self.arch)))
            self.assertEqual(rows[-1][1:5], ["資産", "管理情報", "管理番号", runs.SAMPLE.number])

    def test_refused_elevation(self):
        with self.scenario("refused") as s:
            self.elevation_standins(s)
            s.env["STANDIN_UAC"] = "refuse"
            _, process = runs.start_program(s, r"C:\tallyhawk")
            self.assertEqual(s.message_box_text(runs.RUN_TITLE, timeout=90),
                             "キャンセルしたので、データ収集を中止しました。")
            s.key("Return", window=s.find_window(runs.RUN_TITLE))
            self.assertEqual(process.wait(30), 0)
            self.assertEqual(list(s.unix_path(r"C:\tallyhawk\SAVE").iterdir()), [])
            self.assertEqual(runs.run_folders(s), [], "batch files, dump and their folder are deleted")

    def test_own_listing(self):
        # No task scheduler: the elevated scan never writes, the program lists the keys itself.
        with self.scenario("own_listing") as s:
            s.import_reg(reg_text(entries(self.arch)))
            rows = self.whole_run(s, r"C:\x86")
            self.assertEqual(self.software(rows), applications(entries(self.arch)))
            if self.arch != "win64":
                return
            # The 64-bit client on the same PC records the same, but for the time of the run.
            native = self.whole_run(s, r"C:\x64", exe=harness.current_config().build / "tallyhawk.exe")
            self.assertEqual(timeless(rows), timeless(native))


if __name__ == "__main__":
    harness.main()

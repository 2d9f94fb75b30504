#!/usr/bin/env python3
"""Faults put in the real program's way under Wine, one whole run each: a
program folder that cannot be written, a temporary folder that cannot be
written, WMI missing, registry dumps that are huge or broken, a full output
drive, a destination held open by another program, odd folder names and a
management number pasted with path characters. Each run must end on its own
(no crash, no hang) with the outcome the fault calls for, and write nothing
but its output folder, SAVE, Error.Log and its temporary files.

Root is not stopped by file modes, so the faults are made of things that stop
root as well: a file standing where a folder must be, a small full tmpfs, a
read-only mount. Scenarios needing a mount skip when the machine forbids it."""

import contextlib
import os
import re
import shutil
import subprocess
import time
import unittest
from pathlib import Path

import harness
import runs
from runs import CHECK, FORM, HEADER

TOOLS = r"C:\棚卸"
FINAL, SAVED, NOT_SAVED = runs.FINAL_TITLE, runs.SUCCESS, runs.FAILURE
NUMBER = ("abc", "05", "0012")
CSV = "abc-05-0012.csv"

BOX0, BOX1, BOX2, SEI, MEI, ENTRY, OK = 1003, 1005, 1007, 1009, 1011, 1012, 1015

WORKING_FILES = set(runs.WORKING_FILES)

# Collectors that ask WMI for something (GetCPU reads the registry under Wine
# and GetPCName has its own fallbacks, so neither is listed).
WMI_COLLECTORS = {"GetKey", "GetBIOS", "GetPC", "GetWindows", "GetDisk", "GetPCCase", "GetMB", "GetUUID",
                  "GetDisplay", "GetKeyboard", "GetPrinter"}


# -- the run ----------------------------------------------------------------

def dump_entry(name, version="1.0", publisher="Maker", key=None):
    key = key or "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name
    lines = [key, f"    DisplayName    REG_SZ    {name}", f"    DisplayVersion    REG_SZ    {version}",
             f"    Publisher    REG_SZ    {publisher}", ""]
    return "".join(l + "\r\n" for l in lines).encode("cp932")


def put_program(s, folder=TOOLS, dump=b"\r\n"):
    """Copies the program into `folder` and hands its run the registry dump
    (runs.provide_dump): the scan itself cannot run under Wine without
    stand-ins, and with the dump present the program starts no fallback scan."""
    program = s.put(harness.current_config().exe, folder)
    if dump is not None:
        runs.provide_dump(s, dump)
    return program


def fill_form(s, number=NUMBER, sei="山田", mei="太郎", paste=False):
    """Sets the boxes' texts (no key filter, no length limit) or, with
    `paste`, pastes the number's parts through the clipboard (no key filter,
    within the limit), then presses 登録; returns the validation message, or
    None when the form went on to its confirmation."""
    s.find_window(FORM, timeout=150)  # through X: the windows of the waits answer slowly
    form = s.window(FORM)
    ids = {c["id"]: c for c in form["children"]}
    for box, text in zip((BOX0, BOX1, BOX2, SEI, MEI), (*number, sei, mei)):
        if paste and box in (BOX0, BOX1, BOX2):
            s.set_text(ids[box], "")
            s.paste(ids[box], text)
        else:
            s.set_text(ids[box], text)
    if paste:
        shown = {c["id"]: c["text"] for c in s.window(FORM)["children"]}
        limits = {BOX0: 3, BOX1: 2, BOX2: 4}
        for box, text in zip((BOX0, BOX1, BOX2), number):
            assert shown[box] == text[:limits[box]], f"paste gave {shown[box]!r} for {text!r}"
    s.click(ids[ENTRY])
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        for w in s.windows():
            if w["text"] == CHECK:
                return s.message_box_text(CHECK)
            if w["text"] == FORM and any(c["id"] == OK and c["visible"] for c in w["children"]):
                return None
        time.sleep(0.2)
    raise AssertionError("登録 led neither to a message nor to the confirmation")


def confirm(s):
    form = s.window(FORM)
    s.click(next(c for c in form["children"] if c["id"] == OK))


def finish(s, process, timeout=240, start_notice=None):
    """Waits for the final notice (closing Explorer's window on the way),
    dismisses it and waits for the program to end. Returns the notice's
    message and the seconds from confirmation to the notice. The texts of the
    start notice, if a poll sees it, go into the list `start_notice`."""
    started = time.monotonic()
    deadline = started + timeout
    message = None
    while message is None:
        if not process.running():
            raise AssertionError(f"the program ended (code {process.returncode}) without a final notice")
        if time.monotonic() > deadline:
            raise AssertionError(f"no final notice within {timeout} s: the run hangs")
        for w in s.windows():
            if w["text"] == "SAVE" and w["class"] != "#32770":
                s.close_window(w)  # Explorer showing the output folder
            if start_notice is not None and w["text"] == runs.RUN_TITLE and w["class"] != "#32770":
                start_notice += [c["text"] for c in w["children"] if c["text"]]
            if w["text"] == FINAL:
                message = [c["text"] for c in w["children"] if c["class"].lower() == "static" and c["text"]]
                notice = w
        time.sleep(0.3)
    seconds = time.monotonic() - started
    s.screenshot("final.png")
    s.click(s.control(notice, text="OK"))  # not a key: Explorer may hold the focus
    if process.wait(60) != 0:
        raise AssertionError(f"exit code {process.returncode}")
    return " ".join(message), seconds


def whole_run(s, program, number=NUMBER, start_notice=None, **start):
    process = s.start(program, **start)
    message = fill_form(s, number)
    if message is not None:
        raise AssertionError(f"the form refused the entry: {message}")
    confirm(s)
    return finish(s, process, start_notice=start_notice)


def csv_records(path):
    lines = path.read_bytes().decode("cp932").split("\r\n")
    assert lines[0] == HEADER, lines[0]
    assert lines[-1] == "", "the file does not end with CR LF"
    return [l.split(",") for l in lines[1:-1]]


def applications(records):
    return [r[3:6] for r in records if r[1:3] == ["Soft", "Application"]]


def log_entries(path):
    """Error.Log entries as (procedure, description) pairs."""
    text = path.read_bytes().decode("cp932")
    entries = re.findall(r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d \t[^\t]*\t([^\t]*)\t(?:[^\t]*\t){7}(.*)$", text, re.M)
    return entries


# -- what a run leaves ------------------------------------------------------

def snapshot(root: Path):
    """Every file and folder under `root` with size and modification time."""
    found = {}
    for dirpath, dirnames, filenames in os.walk(root):
        for name in dirnames + filenames:
            p = Path(dirpath) / name
            try:
                st = p.lstat()
            except FileNotFoundError:
                continue
            found[str(p.relative_to(root))] = (st.st_size, st.st_mtime_ns, p.is_dir())
    return found


def changes(before, after):
    return sorted(k for k in set(before) | set(after) if before.get(k) != after.get(k))


# Files Wine itself changes in drive_c whatever the program does.
WINE_CHURN = re.compile(r"^(windows(/|$)|users/[^/]+/AppData/(Roaming|Local)/Microsoft(/|$)|ProgramData(/|$)"
                        r"|users/[^/]+/Temp$|users/[^/]+/AppData/Local/Temp$|users/[^/]+/AppData/Local$|users/[^/]+/AppData$"
                        r"|users/[^/]+/AppData/Roaming$)")


def unexpected_writes(s, before, allowed):
    """Changed paths of drive_c outside Wine's own churn and the `allowed`
    prefixes (relative unix paths)."""
    after = snapshot(s.drive_c)
    # A folder's own entry changes when a file inside it comes or goes: that
    # is no write of its own as long as the file is an allowed one.
    return [c for c in changes(before, after)
            if not WINE_CHURN.match(c)
            and not any(c == a or c.startswith(a + "/") for a in allowed)
            and not (after.get(c, (0, 0, False))[2] and c in before
                     and any(a.startswith(c + "/") for a in allowed))]


def temp_leftovers(s):
    """Working record files (WKP*.tmp) anywhere in the prefix's drive C."""
    return sorted(str(p.relative_to(s.drive_c)) for p in s.drive_c.rglob("WKP*.tmp"))


# -- faults that need a mount -----------------------------------------------

@contextlib.contextmanager
def tmpfs(path: Path, size: str):
    path.mkdir(parents=True, exist_ok=True)
    done = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size},mode=0777", "tmpfs", str(path)],
                          capture_output=True, text=True)
    if done.returncode != 0:
        raise unittest.SkipTest(f"this machine does not allow mounting a tmpfs: {done.stderr.strip()}")
    try:
        yield path
    finally:
        subprocess.run(["umount", "-l", str(path)], capture_output=True)


def remount_read_only(path: Path):
    subprocess.run(["mount", "-o", "remount,ro", str(path)], check=True, capture_output=True)


def fill_up(folder: Path):
    """Writes a filler file until the file system is full."""
    with open(folder / "filler", "wb", buffering=0) as f:
        try:
            while True:
                f.write(b"\0" * 4096)
        except OSError:
            pass
    probe = folder / "probe"
    try:
        probe.write_bytes(b"x" * 4096)
    except OSError:
        return
    finally:
        probe.unlink(missing_ok=True)
    raise AssertionError(f"{folder} is not full")


class Faults(unittest.TestCase):
    def assertWorkingFilesGone(self, s, folder=TOOLS):
        save = s.unix_path(folder) / "SAVE"
        self.assertEqual({p.name for p in save.iterdir()} & WORKING_FILES, set(), "working files left")
        self.assertEqual(runs.run_folders(s), [], "a run folder left")
        self.assertEqual(temp_leftovers(s), [], "record file left in the temporary folder")

    # -- program folder, temporary folder, WMI --------------------------------

    def test_program_folder_read_only(self):
        """Error.Log cannot be written beside the program: the run is the same
        as ever (the CSV lands in SAVE, which lies elsewhere) and no log entry
        goes anywhere else."""
        with harness.Scenario("fault_program_folder_ro") as s:
            with tmpfs(s.root / "ro", "16m") as ro:
                save = s.root / "save"
                save.mkdir()
                runs.provide_dump(s, dump_entry("Alpha Tool"))
                os.symlink(save, ro / "SAVE")
                shutil.copy(harness.current_config().exe, ro / "tallyhawk.exe")
                os.symlink(ro, s.drive_c / "ro-tools")
                remount_read_only(ro)
                with self.assertRaises(OSError):
                    (ro / "Error.Log").write_bytes(b"")
                before = snapshot(s.drive_c)

                message, _ = whole_run(s, r"C:\ro-tools\tallyhawk.exe")

                self.assertEqual(message, SAVED)
                records = csv_records(save / CSV)
                self.assertEqual(applications(records), [["Alpha Tool", "1.0", "Maker"]])
                self.assertIn(["abc-05-0012", "資産", "管理情報", "管理番号", "abc-05-0012", ""], [r[:6] for r in records])
                self.assertFalse((ro / "Error.Log").exists())
                logs = [p for p in s.prefix.rglob("*") if p.name.lower() == "error.log"]
                self.assertEqual(logs, [], "a log entry went somewhere else")
                self.assertEqual({p.name for p in save.iterdir()}, {CSV})
                self.assertEqual(unexpected_writes(s, before, ["ro-tools"]), [])
                self.assertEqual(temp_leftovers(s), [])

    def test_temporary_folder_not_writable(self):
        """TEMP names a folder under a file: the run cannot make a folder of
        its own for its batch files and dump, and it never falls back to one
        it did not make (the share above all): it ends at once, saying why in a
        message and in one Error.Log entry, with nothing left behind."""
        with harness.Scenario("fault_temp_blocked") as s:
            (s.drive_c / "blocked").write_bytes(b"a file where the temporary folder's parent must be")
            for name in ("TEMP", "TMP"):
                s.reg_add(r"HKCU\Environment", name, r"C:\blocked\temp")
            self.assertEqual(s.cmd("echo %TEMP%").stdout.strip(), r"C:\blocked\temp")
            program = put_program(s, dump=None)

            process = s.start(program)
            message = s.message_box_text(runs.RUN_TITLE, timeout=30)
            s.key("Return", window=s.find_window(runs.RUN_TITLE))
            self.assertEqual(process.wait(30), 0, "the run ends at once")

            entries = log_entries(s.unix_path(TOOLS) / "Error.Log")
            self.assertEqual([p for p, _ in entries], ["Main"])
            self.assertEqual(message.split("\n"), ["作業フォルダーを安全に作成できないため、データ収集を中止しました。",
                                                  entries[0][1].rstrip("\r")])
            tools = s.unix_path(TOOLS)
            self.assertEqual(sorted(p.name for p in tools.iterdir()), ["Error.Log", "SAVE", "tallyhawk.exe"])
            self.assertEqual(list((tools / "SAVE").iterdir()), [])
            self.assertWorkingFilesGone(s)

    def test_wmi_unavailable(self):
        """Wine's WMI provider switched off: every collector that asks WMI logs
        its failure, the others still write, the run ends normally."""
        with harness.Scenario("fault_wmi_off") as s:
            s.import_reg('[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n"wbemprox"=""\n')
            program = put_program(s, dump=dump_entry("Alpha Tool"))

            message, _ = whole_run(s, program)

            self.assertEqual(message, SAVED)
            entries = log_entries(s.unix_path(TOOLS) / "Error.Log")
            procedures = {p for p, _ in entries}
            print(f"e2e: {len(entries)} log entries from {sorted(procedures)}", flush=True)
            self.assertEqual(WMI_COLLECTORS - procedures, set(), "collectors that did not log")
            self.assertNotIn("Main", procedures)
            records = csv_records(s.unix_path(TOOLS) / "SAVE" / CSV)
            groups = {tuple(r[1:3]) for r in records}
            self.assertIn(("Create", "DateTime"), groups)
            self.assertEqual(applications(records), [["Alpha Tool", "1.0", "Maker"]])
            self.assertIn(("資産", "管理情報"), groups)
            self.assertNotIn(("LAN", "Adapter"), groups, "no adapters without WMI")
            self.assertWorkingFilesGone(s)

    # -- registry dumps -------------------------------------------------------

    def test_dump_huge(self):
        """100,000 uninstall entries: every one becomes a record, in order,
        within a bounded time."""
        count = 100_000
        dump = b"\r\n" + b"".join(dump_entry(f"App {i:06d}", f"{i}.0", "Maker") for i in range(count))
        with harness.Scenario("fault_dump_huge") as s:
            program = put_program(s, dump=dump)
            start_notice = []
            message, seconds = whole_run(s, program, start_notice=start_notice)
            self.assertEqual(message, SAVED)
            # Up for as long as the 100,000 entries take: every poll sees it.
            self.assertIn("データ収集中です。", start_notice)
            apps = applications(csv_records(s.unix_path(TOOLS) / "SAVE" / CSV))
            self.assertEqual(len(apps), count)
            self.assertEqual(apps[0], ["App 000000", "0.0", "Maker"])
            self.assertEqual(apps[-1], [f"App {count - 1:06d}", f"{count - 1}.0", "Maker"])
            print(f"e2e: {count} entries: {len(dump)} bytes of dump, {seconds:.1f} s from OK to the final notice",
                  flush=True)
            self.assertWorkingFilesGone(s)

    def test_dump_garbage(self):
        """Binary garbage, NUL bytes and byte sequences that are no Shift-JIS,
        between sound entries: the sound entries come through unharmed and the
        run neither crashes nor hangs."""
        garbage = bytes(range(256)) * 64  # every byte value, CR and LF included
        dump = (b"\r\n" + dump_entry("Before") + garbage + b"\r\n\r\n"
                + b"HKEY_LOCAL_MACHINE\\X\r\n    DisplayName    REG_SZ    Nul\0Inside\0\r\n\r\n"
                + b"HKEY_LOCAL_MACHINE\\Y\r\n    DisplayName    REG_SZ    Bad\x81\x20Sjis\xff\xfe\x82\r\n\r\n"
                + dump_entry("After"))
        with harness.Scenario("fault_dump_garbage") as s:
            program = put_program(s, dump=dump)
            before = snapshot(s.drive_c)
            message, _ = whole_run(s, program)
            self.assertEqual(unexpected_writes(s, before, ["棚卸/SAVE", "棚卸/Error.Log"]), [])
            self.assertEqual(message, SAVED)
            names = [a[0] for a in applications(csv_records(s.unix_path(TOOLS) / "SAVE" / CSV))]
            self.assertEqual(names[0], "Before")
            self.assertEqual(names[-1], "After")
            nul = [n for n in names if n.startswith("Nul")]
            bad = [n for n in names if n.startswith("Bad")]
            self.assertEqual(len(nul), 1, names)
            self.assertIn("Inside", nul[0], "the text after a NUL byte is lost")
            self.assertEqual(len(bad), 1, names)
            self.assertIn("Sjis", bad[0], "the text after a broken character is lost")
            self.assertWorkingFilesGone(s)

    def test_dump_long_line_and_cut_off(self):
        """A display name of a megabyte, then a dump cut off in the middle of
        an entry (and of a double-byte character): the long name comes through
        whole and the run ends normally."""
        long_name = "L" * (1 << 20)
        dump = (b"\r\n" + dump_entry(long_name) + dump_entry("Middle")
                + b"HKEY_LOCAL_MACHINE\\Cut\r\n    DisplayName    REG_SZ    Cut \x93\xfa\x96")
        with harness.Scenario("fault_dump_long_cut") as s:
            program = put_program(s, dump=dump)
            before = snapshot(s.drive_c)
            message, _ = whole_run(s, program)
            self.assertEqual(unexpected_writes(s, before, ["棚卸/SAVE", "棚卸/Error.Log"]), [])
            self.assertEqual(message, SAVED)
            apps = applications(csv_records(s.unix_path(TOOLS) / "SAVE" / CSV))
            self.assertEqual(apps[0], [long_name, "1.0", "Maker"])
            self.assertEqual(apps[1], ["Middle", "1.0", "Maker"])
            self.assertEqual(len(apps), 3)
            self.assertTrue(apps[2][0].startswith("Cut 日"), apps[2])
            self.assertWorkingFilesGone(s)

    # -- the destination ------------------------------------------------------

    def test_output_drive_full(self):
        """The output folder (on the desktop, by the marker) lies on a full
        drive: ten failed attempts, the failure notice, no broken CSV passed
        off as delivered, the working files still deleted."""
        with harness.Scenario("fault_drive_full") as s:
            program = put_program(s, dump=dump_entry("Alpha Tool"))
            dat = s.unix_path(TOOLS) / "DAT"
            dat.mkdir()
            (dat / "Desktop.txt").write_bytes(b"")
            with tmpfs(s.root / "full", "256k") as full:
                os.symlink(full, s.desktop / "SAVE")
                fill_up(full)

                message, seconds = whole_run(s, program)

                self.assertEqual(message, NOT_SAVED)
                self.assertGreater(seconds, 1.0)
                left = sorted(p.name for p in full.iterdir())
                print(f"e2e: full drive holds {left} after the run", flush=True)
                self.assertNotIn(CSV, left, "a cut-off copy is left as if delivered")
                self.assertWorkingFilesGone(s)

    def hold_destination(self, s, mode):
        dest = s.unix_path(TOOLS) / "SAVE" / CSV
        dest.parent.mkdir(exist_ok=True)
        dest.write_bytes(b"an earlier delivery\r\n")
        ready = s.drive_c / "held.ready"
        holder = s.start(harness.current_config().tool("hold_file.exe"), s.win_path(dest), mode,
                         s.win_path(ready))
        deadline = time.monotonic() + 30
        while not ready.exists():
            self.assertLess(time.monotonic(), deadline, "hold_file did not open the destination")
            self.assertTrue(holder.running(), "hold_file ended")
            time.sleep(0.2)
        return dest, ready, holder

    def test_destination_locked(self):
        """Another program holds the destination open and shares nothing: ten
        failed attempts, the failure notice, the earlier file untouched."""
        with harness.Scenario("fault_dest_locked") as s:
            program = put_program(s, dump=dump_entry("Alpha Tool"))
            dest, ready, holder = self.hold_destination(s, "none")

            message, seconds = whole_run(s, program)

            self.assertEqual(message, NOT_SAVED)
            self.assertGreater(seconds, 1.0)
            ready.unlink()
            self.assertEqual(holder.wait(30), 0)
            self.assertEqual(dest.read_bytes(), b"an earlier delivery\r\n")
            self.assertWorkingFilesGone(s)

    def test_destination_open_for_reading(self):
        """A viewer holds the destination open but shares it: the copy
        replaces it and the run reports success."""
        with harness.Scenario("fault_dest_shared") as s:
            program = put_program(s, dump=dump_entry("Alpha Tool"))
            dest, ready, holder = self.hold_destination(s, "read")

            message, _ = whole_run(s, program)

            ready.unlink()
            self.assertEqual(holder.wait(30), 0)
            self.assertEqual(message, SAVED)
            self.assertEqual(applications(csv_records(dest)), [["Alpha Tool", "1.0", "Maker"]])
            self.assertWorkingFilesGone(s)

    # -- what the user can give -------------------------------------------------

    def test_odd_program_folder(self):
        """The program, and the user's temporary folder, in a folder whose
        name holds an apostrophe, a percent sign, a variable's name between
        percent signs, blanks and Japanese, with no registry dump yet: the
        fallback scan runs through the real cmd and reg and its dump lands in
        the run's own folder (cmd must not expand %OS% in the path), the run
        ends normally and writes only into that folder."""
        folder = r"C:\users\O'Brien\100% 完了 %OS% ソフト"
        with harness.Scenario("fault_odd_folder") as s:
            s.reg_add(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\THe2e A", "DisplayName",
                      "Alpha Tool")
            program = put_program(s, folder, dump=None)
            home = s.unix_path(folder)
            (home / "Temp").mkdir()
            for name in ("TEMP", "TMP"):
                s.reg_add(r"HKCU\Environment", name, folder + r"\Temp")
            before = snapshot(s.drive_c)

            message, _ = whole_run(s, program)

            self.assertEqual(message, SAVED)
            records = csv_records(home / "SAVE" / CSV)
            self.assertEqual(applications(records), [["Alpha Tool", "", ""]])
            relative = str(home.relative_to(s.drive_c))
            self.assertEqual(unexpected_writes(s, before, [relative + "/SAVE", relative + "/Error.Log",
                                                           relative + "/Temp"]), [])
            self.assertEqual(list((home / "Temp").iterdir()), [])
            self.assertWorkingFilesGone(s, folder)

    def test_number_pasted_with_path_characters(self):
        """Path characters pasted into the number's boxes are refused by the
        form's checks; the number finally accepted names a file in SAVE and
        nothing is written anywhere else."""
        # A box of the number's second or third part that the focus leaves
        # is emptied when its text has no number's shape, so either its own
        # check or the empty-box check answers, depending on where the focus was.
        empty = "管理番号を入力してください。"
        refused = [
            (("..\\", "05", "0012"), {"英小文字３桁で入力してください。"}),
            (("../", "05", "0012"), {"英小文字３桁で入力してください。"}),
            (("a:b", "05", "0012"), {"英小文字３桁で入力してください。"}),
            (("..\\..\\..\\windows\\x", "05", "0012"), {"英小文字３桁で入力してください。"}),
            (("abc", "..", "0012"), {"数値２桁で入力してください。", empty}),
            (("abc", "5\\", "0012"), {"数値２桁で入力してください。", empty}),
            (("abc", "05", "a\\12"), {"２文字目以降は数字で入力してください。", empty}),
            (("abc", "05", "C:12"), {"２文字目以降は数字で入力してください。", empty}),
            (("abc", "05", "\\123"), {"４桁で入力してください。", empty}),
            (("abc", "05", "0012\\..\\..\\x"), {"４桁で入力してください。", empty}),
            (("abc", "05", "0%1%"), {"２文字目以降は数字で入力してください。", empty}),
        ]
        # Pasted through the clipboard: cut to each box's length limit.
        pasted = [
            (("..\\..\\x", "05", "0012"), {"英小文字３桁で入力してください。"}),
            (("abc", "5\\..", "0012"), {"数値２桁で入力してください。", empty}),
            (("abc", "05", "a\\12\\..\\x"), {"２文字目以降は数字で入力してください。", empty}),
        ]
        with harness.Scenario("fault_pasted_number") as s:
            program = put_program(s, dump=dump_entry("Alpha Tool"))
            before = snapshot(s.drive_c)
            process = s.start(program)
            for (number, expected), paste in [(r, False) for r in refused] + [(r, True) for r in pasted]:
                with self.subTest(number=number, paste=paste):
                    self.assertIn(fill_form(s, number, paste=paste), expected)
                    box = s.window(CHECK)
                    s.click(s.control(box, cls="Button"))
                    s.wait_window_gone(CHECK)
            self.assertIsNone(fill_form(s, NUMBER))
            confirm(s)
            message, _ = finish(s, process)

            self.assertEqual(message, SAVED)
            home = s.unix_path(TOOLS)
            self.assertEqual([p.name for p in (home / "SAVE").glob("*.csv")], [CSV])
            relative = str(home.relative_to(s.drive_c))
            self.assertEqual(unexpected_writes(s, before, [relative + "/SAVE", relative + "/Error.Log"]), [])


if __name__ == "__main__":
    harness.main()

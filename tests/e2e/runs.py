"""Steps of a whole run of the real program, shared by the e2e scripts and
scripts/run: starting it, answering its entry form as a user would, waiting
for the final notice while Explorer comes and goes, and finding the working
files it may leave behind."""

import re
import shutil
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path, PureWindowsPath

import harness

FORM = "資産情報を入力してください。"
CHECK = "必須入力"                # the entry form's validation messages
RUN_TITLE = "インベントリ収集"
FINAL_TITLE = "データ保存"
SUCCESS = "データ保存が正常に終了しました。"
FAILURE = "データ保存に失敗しました。"
HEADER = "Key,Group,Item,SubItem,Contents,Unit,Renewalday"
WORKING_FILES = ("Runas.CMD", "RegScan.CMD", "TH_reg.TxT", "TrustLevel.CMD")
# Each run keeps them in a folder of its own, TH-<16 hex digits>, in the
# Windows user's temporary folder: never on the share.
RUN_FOLDER = re.compile(r"TH-[0-9A-F]{16}")


@dataclass
class Entry:
    """What the user types: the number's three parts (the last one is padded
    with zeros when the focus leaves it), surname and given name."""
    parts: tuple = ("abc", "05", "12")
    surname: str = "山田"
    given: str = "太郎"

    @property
    def number(self):
        return "-".join((self.parts[0], self.parts[1], self.parts[2].rjust(4, "0")))


SAMPLE = Entry()
# The same PC (the same prefix) under a mistyped number: the desktop-marker
# run delivers it, for the ledger's test.
MISTYPED = Entry(parts=("abc", "05", "21"), surname="佐藤", given="花子")


def start_program(s, folder, exe=None, cwd=None, log=None):
    """Copies the program into `folder` (a Windows path) and starts it;
    returns (its Windows path, the process)."""
    program = s.put(exe or harness.current_config().exe, folder)
    return program, s.start(program, cwd=cwd, log=log)


def wait_entry_form(s, process, timeout=180):
    """The entry form's X id once it is shown (after the program's 36 s of
    waiting), or None when the program ends or the time runs out first."""
    deadline = time.monotonic() + timeout
    while process.running() and time.monotonic() < deadline:
        if s.visible_windows(FORM):
            return s.find_window(FORM)
        time.sleep(0.5)
    return None


# Control ids of the entry form's boxes: the number's three parts, surname, given name.
BOXES = (1003, 1005, 1007, 1009, 1011)


def fill_entry_form(s, form, entry=SAMPLE, screenshots=False):
    """Fills the entry form, presses 登録 and confirms with OK; returns once
    the form is gone. The number is typed (Enter moves on); the names go in as
    characters sent to their boxes, since xdotool's remapped keys for kana and
    kanji get lost when the machine is busy (typing them is the entry-form
    test's business). The form is focused before every key: a console window
    of the registry scan may take the focus for a moment."""
    window = s.window(FORM)
    boxes = [s.control(window, id=i) for i in BOXES]
    s.send_chars(boxes[3], entry.surname)
    s.send_chars(boxes[4], entry.given)
    s.type_text(entry.parts[0], window=form)
    for text in entry.parts[1:]:
        s.key("Return", window=form)
        s.type_text(text, window=form)
    s.key("Return", "Return", "Return", window=form)  # through the names to 登録
    texts = {c["id"]: c["text"] for c in s.window(FORM)["children"]}
    shown = [texts.get(i) for i in BOXES]
    expected = [entry.parts[0], entry.parts[1].rjust(2, "0"), entry.parts[2].rjust(4, "0"), entry.surname, entry.given]
    if shown != expected:
        raise AssertionError(f"the entry form holds {shown}, not {expected}")
    if screenshots:
        s.screenshot("2-entry-filled.png")
    s.key("Return", window=form)  # 登録
    if screenshots:
        s.screenshot("3-confirmation.png")
    s.key("Return", window=form)  # OK
    s.wait_window_gone(FORM)


def abandon_entry_form(s, form, entry=SAMPLE):
    """Types the number, then presses 中止 (Tab from 登録)."""
    s.type_text(entry.parts[0], window=form)
    s.key("Return", "Return", "Return", "Return", "Return", "Tab", "Return")


def is_explorer(window):
    """A window of Explorer showing a folder named SAVE (not a dialog)."""
    return window["text"] == "SAVE" and window["class"] != "#32770"


def notice_text(window):
    return " ".join(c["text"] for c in window["children"] if c["class"].lower() == "static" and c["text"])


@dataclass
class Ending:
    """What the user saw from the confirmed entry to the final notice."""
    final: dict = None            # the final notice's window, None if none came
    message: str = None           # its text
    start_notice: dict = None     # the first sight of the "collecting" notice
    explorers: list = field(default_factory=list)  # Explorer windows seen (and closed)


def wait_final_notice(s, process, timeout=300, explorer_grace=20, on_start_notice=None):
    """Watches the run until its final notice, closing each Explorer window
    that opens. Explorer's window comes a moment after the notice and may take
    the focus from it, so after a success notice this waits for Explorer
    (up to `explorer_grace` s) and closes it before returning; after a failure
    notice it watches as long for an Explorer window that must not come."""
    ending = Ending()
    deadline = time.monotonic() + timeout
    while ending.final is None and time.monotonic() < deadline and process.running():
        for w in s.windows():
            if w["text"] == RUN_TITLE and w["class"] != "#32770" and ending.start_notice is None:
                ending.start_notice = w
                if on_start_notice:
                    on_start_notice(w)
            elif is_explorer(w):
                ending.explorers.append(w)
                s.close_window(w)
            elif w["text"] == FINAL_TITLE:
                ending.final = w
        time.sleep(0.2)
    if ending.final is None:
        return ending
    ending.message = notice_text(ending.final)
    grace_end = time.monotonic() + explorer_grace
    while time.monotonic() < grace_end and not (ending.message == SUCCESS and ending.explorers):
        for w in s.windows():
            if is_explorer(w):
                ending.explorers.append(w)
                s.close_window(w)
        time.sleep(0.2)
    gone_by = time.monotonic() + 10
    while any(is_explorer(w) for w in s.windows()) and time.monotonic() < gone_by:
        time.sleep(0.2)
    return ending


def dismiss_final_notice(s):
    s.key("Return", window=s.find_window(FINAL_TITLE))
    s.wait_window_gone(FINAL_TITLE)


def delivered_folder():
    """Where whole runs keep the record files they delivered, for the
    ledger's test (the CTest fixture e2e_delivered)."""
    return harness.current_config().build / "e2e" / "delivered"


def keep_delivered(path):
    folder = delivered_folder()
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copyfile(path, folder / Path(path).name)


def folders_in(temp: Path):
    """The run folders in a temporary folder (unix path)."""
    if not temp.is_dir():
        return []
    return sorted(p for p in temp.iterdir() if p.is_dir() and RUN_FOLDER.fullmatch(p.name))


def run_folders(s):
    """The runs' working folders in the prefix's temporary folder."""
    return folders_in(temp_folder(s))


def provide_dump(s, dump, timeout=300):
    """Acts out the elevated registry scan, which cannot run under Wine
    without stand-ins: as soon as a new run folder in the temporary folder
    holds its RegScan.CMD, `dump` goes in as its TH_reg.TxT: bytes to write,
    or a function given the dump's path. The program then finds its dump
    after its first wait and runs no fallback scan. Returns the thread."""
    temp = temp_folder(s)
    existing = set(folders_in(temp))

    def watch():
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for folder in set(folders_in(temp)) - existing:
                if (folder / "RegScan.CMD").exists():
                    target = folder / "TH_reg.TxT"
                    dump(target) if callable(dump) else target.write_bytes(dump)
                    return
            time.sleep(0.1)

    thread = threading.Thread(target=watch, daemon=True)
    thread.start()
    return thread


def temp_folder(s):
    """The Windows user's temporary folder, as programs see it (%TEMP%)."""
    shown = s.cmd("echo %TEMP%").stdout.strip()
    if not PureWindowsPath(shown).drive:
        raise AssertionError(f"no temporary folder: {shown!r}")
    return s.unix_path(shown)


def working_record_files(s):
    """Working record files (WKP*.tmp) in the user's temporary folder."""
    folder = temp_folder(s)
    return sorted(p.name for p in folder.iterdir() if p.name.upper().startswith("WKP")) if folder.is_dir() else []


def error_log_entries(folder: Path):
    """Error.Log in `folder` as a list of entries, each a list of its TAB
    separated fields; [] when there is no log."""
    log = folder / "Error.Log"
    if not log.exists():
        return []
    text = log.read_bytes().decode("cp932")
    return [line.split("\t") for line in text.split("\r\n") if line]


def crop_to(s, window, source, target):
    """Cuts a window out of a screenshot (for the documentation)."""
    import subprocess
    left, top, right, bottom = window["rect"]
    subprocess.run(["/usr/bin/convert", str(source), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", str(target)], check=True)

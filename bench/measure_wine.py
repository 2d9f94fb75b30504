"""The Wine half of scripts/bench: whole runs of tallyhawk.exe, answered as a
user would, alternating with runs of the collection floor, in one prefix.

Per run of the program: CPU time (user + system) of its own process from
wait4() and its peak resident size (VmHWM) read just before it ends: under
Wine the launched `wine` exec()s into the loader that becomes the Windows
process, so the Popen pid is the program (checked through /proc/<pid>/cmdline). The collection stage is timed from
outside by watching the working record file in the temporary folder.
"""

import json
import os
import subprocess
import threading
import time
from pathlib import Path

import harness

import bench_report

FOLDER = r"C:\tallyhawk"
BENCH = r"C:\bench"
FORM = "資産情報を入力してください。"
SURNAME, GIVEN = "山田", "太郎"
UNINSTALL_ROOTS = (
    r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall",
    r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall",
    r"HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall",
)
POLL_S = 0.005
FLOORS_PER_RUN = 3


def process_image(pid):
    """The command line the process runs now (after the launcher's exec)."""
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace").strip()
    except OSError:
        return ""


class Watcher(threading.Thread):
    """Polls a folder every POLL_S for WKP*.tmp files."""

    def __init__(self, folder):
        super().__init__(daemon=True)
        self.folder = folder
        self.watch = bench_report.RecordFileWatch()
        self.sizes = []  # (poll time, size) of the record file whenever it grew
        self.stop = threading.Event()

    def run(self):
        while not self.stop.is_set():
            now = time.time_ns()
            files = []
            try:
                with os.scandir(self.folder) as entries:
                    for entry in entries:
                        if bench_report.is_record_file(entry.name):
                            try:
                                st = entry.stat()
                            except FileNotFoundError:
                                continue
                            files.append((entry.name, st.st_mtime_ns))
                            if entry.name == (self.watch.name or entry.name):
                                if not self.sizes or self.sizes[-1][1] != st.st_size:
                                    self.sizes.append((now, st.st_size))
            except FileNotFoundError:
                pass
            self.watch.observe(now, files)
            time.sleep(POLL_S)


def resident_by_mapping(pid, top=12):
    """Resident KiB of a live process by what is mapped: each file, and the
    anonymous memory (heaps, stacks) as one."""
    totals = {}
    current = None
    try:
        with open(f"/proc/{pid}/smaps") as smaps:
            for line in smaps:
                fields = line.split()
                if not fields[0].endswith(":") or "-" in fields[0]:
                    path = " ".join(fields[5:])
                    current = os.path.basename(path) if path.startswith("/") else "[anonymous]"
                elif fields[0] == "Rss:":
                    totals[current] = totals.get(current, 0) + int(fields[1])
    except OSError:
        return {}
    ranked = sorted(totals.items(), key=lambda kv: -kv[1])
    summary = dict(ranked[:top])
    summary["(other mappings)"] = sum(v for _, v in ranked[top:])
    summary["(total)"] = sum(totals.values())
    return summary


def peak_resident_kib(pid):
    """VmHWM: the peak resident size of the process's current image. Not
    ru_maxrss, which also keeps the peak of the image before exec: the
    launcher is forked from this (large) Python process."""
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    except OSError:
        pass
    return None


def dismiss(s, title, process, timeout=120):
    """Presses OK on the window with this title until the program ends.
    Returns wait4()'s rusage and the last VmHWM read before the end. Clicked
    through the window probe: a key press may land on Explorer's window,
    which opens at the same moment."""
    deadline = time.monotonic() + timeout
    peak = None
    while time.monotonic() < deadline:
        peak = peak_resident_kib(process.popen.pid) or peak
        pid, status, usage = os.wait4(process.popen.pid, os.WNOHANG)
        if pid:
            process.popen.returncode = os.waitstatus_to_exitcode(status)
            return usage, peak
        try:
            for w in s.windows():
                if w["text"] == "SAVE" and w["class"] != "#32770":
                    s.close_window(w)  # Explorer showing the output folder
                elif w["text"] == title:
                    ok = [c for c in w["children"] if c["text"] == "OK"]
                    if ok:
                        s.click(ok[0])
                    else:
                        s.key("Return", window=s.find_window(title))
        except (subprocess.TimeoutExpired, AssertionError) as error:
            print(f"bench: window probe: {error}; trying again", flush=True)
        time.sleep(0.3)
    raise RuntimeError(f"the program did not end after {title}")


def close_explorer(s, seconds=10):
    """Closes Explorer's window on the output folder, which the program
    opens and leaves behind; left open, it takes the keyboard focus from the
    next run's entry form."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            left = [w for w in s.windows() if w["class"] == "ExplorerWClass"]
        except (subprocess.TimeoutExpired, AssertionError):
            left = [None]
        if not left:
            return
        for w in left:
            if w:
                s.close_window(w)
        time.sleep(0.5)


def temp_folder(s):
    result = s.cmd("echo %TEMP%")
    return s.unix_path(result.stdout.strip())


def trivial_run(s, config):
    """A do-little Windows GUI program (one message box) for comparison."""
    program = s.put(config.tool("demo_msgbox.exe"), BENCH)
    started = time.monotonic()
    process = s.start(program, "demo_out.txt", cwd=BENCH)
    s.find_window("インベントリ収集", timeout=60)
    time.sleep(1)
    mappings = resident_by_mapping(process.popen.pid)
    usage, peak = dismiss(s, "インベントリ収集", process)
    return {"peak_kib": peak, "ru_maxrss_kib": usage.ru_maxrss, "cpu_s": usage.ru_utime + usage.ru_stime,
            "wall_s": time.monotonic() - started, "resident_by_mapping": mappings}


def program_run(s, program, number, temp):
    """One whole run; returns its figures."""
    save = s.unix_path(FOLDER) / "SAVE"
    for old in save.glob("*.csv"):
        old.unlink()
    watcher = Watcher(temp)
    watcher.start()
    started = time.monotonic()
    process = s.start(program)
    pid = process.popen.pid
    time.sleep(2)
    image = process_image(pid)

    form = None
    deadline = time.monotonic() + 180
    while form is None and process.running() and time.monotonic() < deadline:
        if s.visible_windows(FORM):
            form = s.find_window(FORM)
        else:
            time.sleep(0.5)
    if form is None:
        raise RuntimeError("the program ended before its entry form")
    s.type_text(number[0], window=form)
    for text in (number[1], number[2], SURNAME, GIVEN):
        s.key("Return")
        s.type_text(text)
    s.key("Return", "Return")  # to 登録, and press it
    s.key("Return")            # OK on the confirmation

    # Nothing but the file watcher runs while the program collects: the
    # window probe is itself a Wine program and would compete for the CPU.
    csv = None
    deadline = time.monotonic() + 300
    while csv is None and time.monotonic() < deadline and process.running():
        found = sorted(save.glob("*.csv"))
        csv = found[0] if found else None
        time.sleep(0.05)
    s.window("データ保存", timeout=120)
    mappings = resident_by_mapping(pid)
    usage, peak = dismiss(s, "データ保存", process)
    close_explorer(s)
    wall = time.monotonic() - started
    watcher.stop.set()
    watcher.join()

    if csv is None:
        raise RuntimeError("the run made no CSV")
    lines = csv.read_bytes().count(b"\r\n")
    return {
        "wall_s": wall,
        "cpu_s": usage.ru_utime + usage.ru_stime,
        "user_s": usage.ru_utime,
        "system_s": usage.ru_stime,
        "peak_kib": peak,
        "ru_maxrss_kib": usage.ru_maxrss,
        "process_image": image,
        "collect_ms": None if watcher.watch.seconds is None else watcher.watch.seconds * 1000,
        "record_file_end_vs_csv_ms": None if watcher.watch.end_ns is None
        else (csv.stat().st_mtime_ns - watcher.watch.end_ns) / 1e6,
        "records": lines - 1,  # the header line is written first, in GetKey
        "record_file_growth": [((t - watcher.watch.start_ns) / 1e6, size) for t, size in watcher.sizes]
        if watcher.watch.start_ns else [],
        "resident_by_mapping": mappings,
        "polls": watcher.watch.polls,
        "exit_code": process.popen.returncode,
    }


def make_dump(s):
    """The registry dump as RegScan.CMD makes it, for the floor to read."""
    for root in UNINSTALL_ROOTS:
        s.cmd(f'reg query "{root}" /s >>TH_reg.TxT 2>&1', cwd=BENCH)
    return BENCH + r"\TH_reg.TxT"


def floor_run(s, floor, dump):
    result = s.wine(floor, dump, timeout=120)
    if result.returncode != 0:
        raise RuntimeError(f"collect_floor failed: {result.stdout}{result.stderr}")
    return json.loads(result.stdout.strip().splitlines()[-1])


def parts_run(s, parts):
    result = s.wine(parts, "200", timeout=120)
    if result.returncode != 0:
        raise RuntimeError(f"collect_parts failed: {result.stdout}{result.stderr}")
    return json.loads(result.stdout.strip().splitlines()[-1])


def measure(runs, bench_dir, log=print):
    config = harness.current_config()
    with harness.Scenario("bench", keep=False) as s:
        s.install_standins({"schtasks.exe": config.tool("schtasks_standin.exe"),
                            "powershell.exe": config.tool("powershell_standin.exe")})
        program = s.put(config.exe, FOLDER)
        floor = s.put(Path(bench_dir) / "collect_floor.exe", BENCH)
        parts = s.put(Path(bench_dir) / "collect_parts.exe", BENCH)
        temp = temp_folder(s)
        dump = make_dump(s)

        trivial = trivial_run(s, config)
        log(f"bench: trivial program: peak {trivial['peak_kib']} KiB, {trivial['cpu_s']:.2f} s CPU")
        results = {"trivial": trivial, "program": [], "floor": [], "parts": []}
        for i in range(runs):
            number = ("bnc", f"{i + 1:02d}", "1")
            run = program_run(s, program, number, temp)
            log(f"bench: run {i + 1}/{runs}: {run['wall_s']:.1f} s wall, {run['cpu_s']:.2f} s CPU, "
                f"collecting {run['collect_ms']:.0f} ms, {run['records']} records, peak {run['peak_kib']} KiB")
            results["program"].append(run)
            # The floor is short and varies most: three of it per run of the program.
            for _ in range(FLOORS_PER_RUN):
                floor_figures = floor_run(s, floor, dump)
                results["floor"].append(floor_figures)
            log(f"bench: floor after run {i + 1}/{runs}: "
                + ", ".join(f"{f['total_ms'] - f['connect_ms']:.0f}" for f in results["floor"][-FLOORS_PER_RUN:])
                + " ms after connecting")
            results["parts"].append(parts_run(s, parts))
        results["dump_bytes"] = s.unix_path(dump).stat().st_size
        return results

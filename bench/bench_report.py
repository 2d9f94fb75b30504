"""Figures of scripts/bench: turning raw measurements into the goals table.
Pure functions only; the measuring itself is in measure_native.py and
measure_wine.py."""

import re
import statistics
from dataclasses import dataclass
from pathlib import PurePath
from typing import Optional

MIB = 1024 * 1024

# DLLs every supported Windows ships in System32; anything else beside the
# exe (a C++ runtime, a threads library) would have to be carried along.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "version.dll", "winmm.dll", "ws2_32.dll", "ntdll.dll", "uxtheme.dll", "wbemuuid.dll",
}


def mapping_growth(program, baseline, top=8):
    """Resident KiB by mapping that the program holds beyond the baseline
    program, largest first (both from measure_wine.resident_by_mapping)."""
    names = (set(program) | set(baseline)) - {"(total)", "(other mappings)"}
    growth = {n: program.get(n, 0) - baseline.get(n, 0) for n in names}
    ranked = sorted(growth.items(), key=lambda kv: (-kv[1], kv[0]))  # ties by name: the same every run
    out = dict(ranked[:top])
    total = program.get("(total)", 0) - baseline.get("(total)", 0)
    out["(everything else)"] = total - sum(out.values())
    return out


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def ratio(numerator, denominator):
    if numerator is None or not denominator:
        return None
    return numerator / denominator


def imported_dlls(objdump_text):
    """DLL names listed by `objdump -p` ("DLL Name: X"), in order."""
    return re.findall(r"^\s*DLL Name:\s*(\S+)\s*$", objdump_text, flags=re.MULTILINE)


def foreign_dlls(names):
    """The imported DLLs that are not Windows system DLLs."""
    return [n for n in names if n.lower() not in SYSTEM_DLLS]


def softcheck_per_entry(benchmark_json):
    """Median time per entry (seconds, CPU and real) by dump size, from
    Google Benchmark's JSON with repetitions (aggregates) or without."""
    per_size = {}
    for run in benchmark_json.get("benchmarks", []):
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        if run.get("error_occurred"):
            raise ValueError(f"{run['name']}: {run.get('error_message')}")
        entries = int(run["entries"])
        scale = _TIME_UNITS[run.get("time_unit", "ns")]
        per_size.setdefault(entries, {"cpu": [], "real": []})
        per_size[entries]["cpu"].append(run["cpu_time"] * scale / entries)
        per_size[entries]["real"].append(run["real_time"] * scale / entries)
    return {n: {k: median(v) for k, v in times.items()} for n, times in sorted(per_size.items())}


_TIME_UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def growth_ratio(per_size, kind="cpu"):
    """Per-entry time of the largest dump over that of the smallest."""
    if len(per_size) < 2:
        return None
    sizes = sorted(per_size)
    return ratio(per_size[sizes[-1]][kind], per_size[sizes[0]][kind])


class RecordFileWatch:
    """Follows the working record file from outside the program by polling
    the temporary folder. The file appears when GetKey makes it and gets its
    last write with the last record of SaveInputData, so its life from the
    first sighting to its last modification spans the collection stage.

    observe() takes the poll's wall-clock time and the (name, st_mtime_ns)
    of the WKP*.tmp files seen. The first file seen is the record file; a
    scratch file made later with the same prefix is ignored."""

    def __init__(self):
        self.name: Optional[str] = None
        self.start_ns: Optional[int] = None
        self.end_ns: Optional[int] = None
        self.polls = 0

    def observe(self, now_ns, files):
        self.polls += 1
        if self.name is None:
            if not files:
                return
            self.name, mtime = min(files, key=lambda f: f[1])
            # Seen at most one poll late; its first write may be earlier still.
            self.start_ns = min(now_ns, mtime)
            self.end_ns = mtime
            return
        for name, mtime in files:
            if name == self.name:
                self.end_ns = max(self.end_ns, mtime)

    @property
    def seconds(self):
        if self.start_ns is None:
            return None
        return (self.end_ns - self.start_ns) / 1e9


def is_record_file(name):
    path = PurePath(name)
    return path.name.upper().startswith("WKP") and path.suffix.lower() == ".tmp"


@dataclass
class Row:
    area: str
    goal: str
    measured: str
    passed: Optional[bool]  # None: a figure given for context, judged by no goal


def verdict(passed):
    return {True: "pass", False: "MISSED", None: ""}.get(passed, "")


def format_table(rows):
    header = ("area", "goal", "measured", "result")
    lines = [(r.area, r.goal, r.measured, verdict(r.passed)) for r in rows]
    widths = [max(len(str(x[i])) for x in [header, *lines]) for i in range(4)]
    out = ["| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |",
           "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
    for line in lines:
        out.append("| " + " | ".join(str(x).ljust(w) for x, w in zip(line, widths)) + " |")
    return "\n".join(out)


def fmt(value, pattern, missing="not measured"):
    return missing if value is None else pattern.format(value)


def rows_for(results):
    """The goals table from the gathered results (see scripts/bench)."""
    rows = []
    wait = results.get("waiting") or {}
    share = wait.get("cpu_share")
    rows.append(Row("waiting", "CPU time / wall time of a run <= 1%",
                    fmt(share, "{:.2%}") + (f" ({wait['cpu_s']:.2f} s CPU over {wait['wall_s']:.1f} s)"
                                            if share is not None else ""),
                    None if share is None else share <= 0.01))
    collect = results.get("collecting") or {}
    r = collect.get("ratio")
    rows.append(Row("collecting", "GetKey..SaveInputData <= 1.25 x floor",
                    fmt(r, "{:.2f} x") + (f" ({collect['program_ms']:.0f} ms vs floor {collect['floor_ms']:.0f} ms)"
                                          if r is not None else ""),
                    None if r is None else r <= 1.25))
    rest = collect.get("rest") or {}
    share = rest.get("platform_share")
    rows.append(Row("collecting", "the Windows 11 facts <= 2% of the stage",
                    fmt(share, "{:.1%}") + (f" (GetPlatform {rest['platform_ms']:.1f} ms, {rest['platform_records']:.0f}"
                                            f" records, vs {collect['program_ms']:.0f} ms)" if share is not None else ""),
                    None if share is None else share <= 0.02))
    soft = results.get("software") or {}
    per = soft.get("per_entry") or {}
    g = soft.get("growth")
    detail = ", ".join(f"{n:,}: {t['cpu'] * 1e6:.2f} us" for n, t in sorted(per.items()))
    rows.append(Row("software", "per-entry time 100,000 / 1,000 entries <= 1.3",
                    fmt(g, "{:.2f}") + (f" ({detail})" if detail else ""),
                    None if g is None else g <= 1.3))
    peaks = soft.get("peak_kib") or {}
    if peaks:
        sizes = sorted(peaks)
        pr = ratio(peaks[sizes[-1]], peaks[sizes[0]])
        rows.append(Row("software", "peak memory independent of dump size (<= 1.05 x)",
                        f"{pr:.2f} x ("
                        + ", ".join(f"{n:,}: {peaks[n] / 1024:.1f} MiB" for n in sizes) + ")",
                        pr <= 1.05))
    else:
        rows.append(Row("software", "peak memory independent of dump size (<= 1.05 x)", "not measured", None))
    foot = results.get("footprint") or {}
    size = foot.get("exe_bytes")
    rows.append(Row("footprint", "tallyhawk.exe <= 1.5 MiB (stripped, static)",
                    fmt(size, "{:,} bytes") + (f" ({size / MIB:.2f} MiB)" if size else ""),
                    None if size is None else size <= 1.5 * MIB and foot.get("stripped", False)))
    imports = foot.get("imports")
    foreign = foot.get("foreign")
    rows.append(Row("footprint", "imports: Windows system DLLs only",
                    "not measured" if imports is None
                    else (f"{len(imports)} system DLLs" if not foreign else "foreign: " + ", ".join(foreign)),
                    None if imports is None else not foreign))
    peak = wait.get("peak_kib")
    base = wait.get("baseline_peak_kib")
    if peak is None or base is None:
        rows.append(Row("footprint", "peak working set of a run <= 16 MiB (beyond Wine's own)", "not measured", None))
    else:
        own = peak - base
        rows.append(Row("footprint", "peak working set of a run <= 16 MiB (beyond Wine's own)",
                        f"{own / 1024:.1f} MiB ({peak / 1024:.1f} MiB under Wine less "
                        f"{base / 1024:.1f} MiB of a one-message-box program)",
                        own <= 16 * 1024))
    return rows

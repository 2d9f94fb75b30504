"""The native half of scripts/bench: SoftCheck's Google Benchmark and its
peak memory per dump size (each size in a process of its own), and the
footprint of the built exe."""

import json
import subprocess
from pathlib import Path

import bench_report

SIZES = (1000, 10000, 100000)


def softcheck(native_bin, repetitions=3):
    bench = Path(native_bin) / "software_bench"
    out = subprocess.run([str(bench), f"--benchmark_repetitions={repetitions}",
                          "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    per_entry = bench_report.softcheck_per_entry(json.loads(out))
    peaks, records = {}, {}
    for n in SIZES:
        line = subprocess.run([str(Path(native_bin) / "softcheck_peak"), str(n)], check=True,
                              capture_output=True, text=True).stdout
        figures = json.loads(line)
        peaks[n] = figures["peak_after_kib"]
        records[n] = figures["records"]
    return {"per_entry": per_entry, "growth": bench_report.growth_ratio(per_entry),
            "growth_real": bench_report.growth_ratio(per_entry, "real"),
            "peak_kib": peaks, "records": records}


def footprint(exe):
    exe = Path(exe)
    headers = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], check=True,
                             capture_output=True, text=True).stdout
    symbols = subprocess.run(["x86_64-w64-mingw32-objdump", "-t", str(exe)],
                             capture_output=True, text=True).stdout
    imports = bench_report.imported_dlls(headers)
    return {"exe_bytes": exe.stat().st_size, "imports": imports,
            "foreign": bench_report.foreign_dlls(imports),
            # A stripped image has no symbol table left.
            "stripped": "[" not in symbols.split("SYMBOL TABLE:", 1)[-1]}

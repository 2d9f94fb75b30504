#!/usr/bin/env python3
"""The import with the Windows 11 plan against today's import: the same
generated record files (make_records.py's, every other PC also carrying the
Platform lines of the current client; see record_set) imported into a fresh database by
two builds of tallyhawk-ledger, alternately, each `--repeats` times; the
median CPU time of each (GNU time: user + system) and their ratio.

    win11_plan_bench.py --baseline OLD --ledger NEW [--pcs 100000] [--work DIR] [--repeats 2]

OLD is the ledger without the plan (main's release build), NEW this one.
The machine may be shared: the two run in turn, so a busy spell falls on
both, and CPU time, not wall time, is compared."""

import argparse
import json
import shutil
import statistics
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import make_records  # noqa: E402
import measure_ledger  # noqa: E402

GOAL = 1.05
VERSION = 1


def platform_lines(cpu):
    """The Platform lines the current client writes, for a processor's name."""
    amd = "AMD" in cpu
    vendor, identifier = (("AuthenticAMD", "AMD64 Family 23 Model 113 Stepping 0") if amd
                          else ("GenuineIntel", "Intel64 Family 6 Model 158 Stepping 10"))
    return [("Section", "Version", "1", ""), ("CPU", "Vendor", vendor, ""), ("CPU", "Identifier", identifier, ""),
            ("CPU", "PlatformId", "" if amd else "8", "unsupported" if amd else ""),
            ("CPU", "Arm81Atomics", "0", ""), ("CPU", "LogicalProcessors", "8", ""), ("CPU", "Architecture", "x64", ""),
            ("Memory", "Installed", "16777216", "KB"), ("Firmware", "Type", "UEFI", ""),
            ("Firmware", "SecureBootCapable", "1", ""), ("Firmware", "SecureBootEnabled", "1", ""),
            ("Firmware", "SecureBootCA2023", "NotStarted", ""), ("TPM", "Version", "2.0", ""),
            ("OS", "CurrentBuild", "19045", ""), ("OS", "UBR", "6456", ""), ("OS", "DisplayVersion", "22H2", ""),
            ("OS", "EditionID", "Professional", ""), ("Appraiser", "GE24H2", "Green", ""), ("Appraiser", "Bypass", "", "")]


def with_platform(name, data):
    """The file with the Platform lines before its asset lines."""
    text = data.decode("cp932", errors="surrogateescape")
    key = name[:-4]
    at = text.find(f"\r\n{key},資産,")
    if at < 0:
        return data  # a bad file of the set: left as it is
    cpu = text.split(",Hard,CPU,NameString,", 1)[1].split(",", 1)[0] if ",Hard,CPU,NameString," in text else ""
    day = text[at + 2:].split("\r\n", 1)[0].rsplit(",", 1)[1]
    lines = "".join(f"\r\n{key},{make_records.record(('Platform',) + r)},{day}" for r in platform_lines(cpu))
    return (text[:at] + lines + text[at:]).encode("cp932", errors="surrogateescape")


def record_set(work, pcs, seed=12, distinct=2000):
    """`pcs` record files: `distinct` generated ones (every other with the
    Platform lines), the rest copies of them under their own numbers and
    system UUIDs (generating each costs the bench more than the import)."""
    folder = Path(work) / f"win11-pcs-{pcs}"
    manifest = folder / "manifest.json"
    if manifest.exists() and json.loads(manifest.read_text()).get("version") == VERSION:
        return folder
    shutil.rmtree(folder, ignore_errors=True)
    files = folder / "files"
    files.mkdir(parents=True)
    writer = make_records.Writer(seed)
    bases = []
    for index in range(min(pcs, distinct)):
        name, data, _ = writer.file(index)
        bases.append((name, with_platform(name, data) if index % 2 == 0 else data))
    for index in range(pcs):
        name, data = bases[index % len(bases)]
        if index >= len(bases):
            old, new = name[:-4].encode(), make_records.number_for(index + distinct * 1000).encode()
            data = data.replace(old, new)
            uuid = data.split(b",Device_ID,", 1)[1].split(b",", 1)[0] if b",Device_ID," in data else b""
            if uuid:
                data = data.replace(uuid, b"{%08X-0000-4000-8000-%012X}" % (index, index))
            name = new.decode() + ".csv"
        (files / name).write_bytes(data)
    manifest.write_text(json.dumps({"version": VERSION, "pcs": pcs, "seed": seed, "distinct": distinct}))
    return folder


def main(argv=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--baseline", type=Path, required=True)
    parser.add_argument("--ledger", type=Path, required=True)
    parser.add_argument("--pcs", type=int, default=100_000)
    parser.add_argument("--work", type=Path, default=Path("build/bench/win11"))
    parser.add_argument("--repeats", type=int, default=2)
    args = parser.parse_args(argv)
    folder = record_set(args.work, args.pcs)
    runs = {"today": [], "plan": []}
    for _ in range(args.repeats):
        for name, program in (("today", args.baseline), ("plan", args.ledger)):
            db = folder / f"{name}.sqlite"
            db.unlink(missing_ok=True)
            run = measure_ledger.timed([str(program), "--db", str(db), "--no-report", str(folder / "files")],
                                       folder / f"{name}.log")
            if run["status"] not in (0, 1):
                raise RuntimeError(f"{name} ended with {run['status']}: {run['output']}")
            runs[name].append(run)
            print(f"  {name}: {run['cpu_s']:.1f} s CPU, {run['wall_s']:.1f} s wall, {run['peak_kib'] / 1024:.0f} MiB",
                  flush=True)
            db.unlink(missing_ok=True)
    today = statistics.median(r["cpu_s"] for r in runs["today"])
    plan = statistics.median(r["cpu_s"] for r in runs["plan"])
    ratio = plan / today
    print(f"ledger | import with the Windows 11 plan, {args.pcs:,} PCs: CPU time <= {GOAL} x today's import"
          f" | {ratio:.3f} x ({plan:.1f} s vs {today:.1f} s, medians of {args.repeats}) |"
          f" {'pass' if ratio <= GOAL else 'FAIL'}")
    return 0 if ratio <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())

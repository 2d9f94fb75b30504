#!/usr/bin/env python3
"""Runs every measurement of scripts/bench and prints the goals table.

    run_bench.py --native-bin DIR --windows-build DIR [--runs N] [--json FILE]
                 [--parts client,ledger] [--ledger BIN --ledger-pcs 1000,10000]
                 [--ledger-importers ledger,catalogue,floor,baseline]

A report, not a test: a measurement that fails is shown as not measured and
the script still exits 0."""

import argparse
import json
import sys
import traceback
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
sys.path.insert(0, str(HERE / "ledger"))

import bench_report  # noqa: E402
import ledger_figures  # noqa: E402
import measure_ledger  # noqa: E402
import measure_native  # noqa: E402

# Collectors that open their own WMI connection: GetKey, GetBIOS, GetPC,
# GetWindows, GetDisk, GetPCCase, GetMB, GetUUID, GetDisplay, GetKeyboard,
# GetPrinter (and GetCPU when the registry has no processor name).
WMI_CONNECTIONS = 11


def attempt(name, step, errors):
    try:
        return step()
    except Exception as error:  # a report goes on without the figure
        errors.append(f"{name}: {error}")
        traceback.print_exc()
        return None


def summarise_wine(raw):
    runs, floors = raw["program"], raw["floor"]
    parts = {key: bench_report.median([p.get(key) for p in raw["parts"]])
             for key in ("record_ms", "notice_ms", "connect_again_ms", "platform_ms", "platform_records")}
    shares = [r["cpu_s"] / r["wall_s"] for r in runs]
    middle = sorted(runs, key=lambda r: r["cpu_s"] / r["wall_s"])[len(runs) // 2]
    waiting = {"cpu_share": bench_report.median(shares), "max_cpu_share": max(shares),
               "cpu_s": middle["cpu_s"], "wall_s": middle["wall_s"],
               "peak_kib": bench_report.median([r["peak_kib"] for r in runs]),
               "baseline_peak_kib": raw["trivial"]["peak_kib"],
               "wmi_in_process_kib": bench_report.median([f.get("wmi_peak_growth_kib") for f in floors]),
               "process_image": runs[0]["process_image"],
               "resident_growth_kib": bench_report.mapping_growth(middle["resident_by_mapping"],
                                                                  raw["trivial"]["resident_by_mapping"])}
    program_ms = bench_report.median([r["collect_ms"] for r in runs])
    # Both intervals start after the process's first WMI connection: the
    # program makes its record file only once GetKey has connected.
    floor_ms = bench_report.median([f["total_ms"] - f["connect_ms"] for f in floors])
    records = bench_report.median([r["records"] for r in runs])
    connections = WMI_CONNECTIONS + (1 if floors[0].get("processor_queried") else 0)
    rest = {
        "records": records,
        "record_writes_ms": records * parts["record_ms"],
        "notice_ms": parts["notice_ms"],
        "extra_connections": connections - 1,
        "extra_connections_ms": (connections - 1) * parts["connect_again_ms"],
        "platform_ms": parts["platform_ms"],
        "platform_records": parts["platform_records"],
    }
    if program_ms is not None and floor_ms is not None:
        rest["total_ms"] = program_ms - floor_ms
    # The Windows 11 facts' collector, timed alone with its records: its share of the stage.
    rest["platform_share"] = bench_report.ratio(parts["platform_ms"], program_ms)
    collecting = {"program_ms": program_ms, "floor_ms": floor_ms,
                  "ratio": bench_report.ratio(program_ms, floor_ms),
                  "program_runs_ms": [r["collect_ms"] for r in runs],
                  "floor_runs_ms": [f["total_ms"] - f["connect_ms"] for f in floors],
                  "first_connection_ms": bench_report.median([f["connect_ms"] for f in floors]), "rest": rest}
    return waiting, collecting


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--native-bin", type=Path)
    parser.add_argument("--windows-build", type=Path)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--json", type=Path)
    parser.add_argument("--parts", default="client,ledger")
    parser.add_argument("--ledger", type=Path, help="the native tallyhawk-ledger")
    parser.add_argument("--ledger-pcs", default="1000,10000")
    parser.add_argument("--ledger-work", type=Path, help="where the generated record files are kept")
    parser.add_argument("--ledger-importers", default="ledger,catalogue,floor,baseline")
    args = parser.parse_args()
    parts = set(args.parts.split(","))
    errors = []
    results = {}
    if "client" in parts:
        client(args, results, errors)
    if "ledger" in parts:
        ledger(args, results, errors)
    for error in errors:
        print(f"not measured: {error}")
    if args.json:
        args.json.write_text(json.dumps(results, indent=1, default=str))
        print(f"\nbench: all figures in {args.json}")
    return 0


def ledger(args, results, errors):
    sizes = [int(n) for n in args.ledger_pcs.split(",")]
    print(f"bench: the ledger's import of {', '.join(f'{n:,}' for n in sizes)} PCs", flush=True)
    only = set(args.ledger_importers.split(","))
    if not (args.ledger and args.ledger.is_file()):
        errors.append(f"ledger: no program at {args.ledger}; the floor and the baseline only")
        only -= {"ledger", "catalogue"}
    raw = attempt("ledger", lambda: measure_ledger.measure(args.ledger, sizes, args.ledger_work, only=only),
                  errors)
    if not raw:
        return
    results["ledger"] = raw
    print()
    print(bench_report.format_table(ledger_figures.rows_for(raw)))
    print()
    print(ledger_figures.side_by_side(raw))


def client(args, results, errors):
    print("bench: SoftCheck benchmark and peak memory per dump size", flush=True)
    results["software"] = attempt("software", lambda: measure_native.softcheck(args.native_bin), errors)
    results["footprint"] = attempt(
        "footprint", lambda: measure_native.footprint(args.windows_build / "tallyhawk.exe"), errors)
    if args.runs > 0:
        print(f"bench: {args.runs} whole runs under Wine, each about a minute", flush=True)

        def wine():
            import harness
            import measure_wine
            harness.parse_args(["--exe", str(args.windows_build / "tallyhawk.exe"),
                                "--build", str(args.windows_build),
                                "--tools", str(args.windows_build / "tests" / "e2e" / "tools")])
            return measure_wine.measure(args.runs, args.windows_build / "bench")
        raw = attempt("wine", wine, errors)
        if raw:
            results["wine_raw"] = raw
            summary = attempt("wine summary", lambda: summarise_wine(raw), errors)
            if summary:
                results["waiting"], results["collecting"] = summary

    print()
    print(bench_report.format_table(bench_report.rows_for(results)))
    rest = (results.get("collecting") or {}).get("rest")
    if rest and "total_ms" in rest:
        print(f"\ncollecting beyond the floor: {rest['total_ms']:.0f} ms. The program's own work there, each"
              f" part timed separately with its real code: {rest['records']:.0f} records, each opened,"
              f" appended and closed, {rest['record_writes_ms']:.1f} ms; the collection notice window"
              f" {rest['notice_ms']:.1f} ms; {rest['extra_connections']} more WMI connections"
              f" {rest['extra_connections_ms']:.1f} ms")

    growth = (results.get("waiting") or {}).get("resident_growth_kib")
    if growth:
        print("\nresident beyond the one-message-box program (KiB): "
              + ", ".join(f"{name} {kib:+,}" for name, kib in growth.items()))
        wmi = results["waiting"].get("wmi_in_process_kib")
        if wmi is not None:
            print(f"of which WMI's providers, which Wine runs inside the asking process: about {wmi:,} KiB")


if __name__ == "__main__":
    sys.exit(main())

"""The ledger's goals table from measure_ledger's figures: pure functions."""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))

from bench_report import Row, fmt, ratio  # noqa: E402

MIB = 1024 * 1024


def largest(results):
    return results[max(results)] if results else {}


# Each importer's CPU time against the floor's in the same run, at every
# number of PCs measured: (importer, what it is, the most it may take).
FLOOR_GOALS = (("ledger", "import", 1.2), ("ledger_report", "import with its report", 1.3),
               ("catalogue", "import with a 2,000-line catalogue", 1.5))


def rows_for(results):
    """Goal rows: each importer against the floor at every number of PCs, the
    ledger against the baseline at the largest, time per file and peak memory
    from the smallest to the largest, and whether the ledger took exactly the
    rows it was given."""
    rows = []
    for n in sorted(results):
        floor = results[n].get("floor", {}).get("cpu_s")
        for name, what, most in FLOOR_GOALS:
            cpu = results[n].get(name, {}).get("cpu_s")
            r = ratio(cpu, floor)
            if r is None and name != "ledger":
                continue
            rows.append(Row("ledger", f"{what}, {n:,} PCs: CPU time <= {most} x floor (sqlite3 .import)",
                            fmt(r, "{:.2f} x") + (f" ({cpu:.1f} s vs {floor:.1f} s)" if r else ""),
                            None if r is None else r <= most))
    big = largest(results)
    pcs = big.get("pcs")
    where = f" at {pcs:,} PCs" if pcs else ""
    ledger, base = (big.get(k, {}).get("cpu_s") for k in ("ledger", "baseline"))
    r = ratio(base, ledger)
    rows.append(Row("ledger", "import >= 5 x faster than Python baseline (CPU time)",
                    fmt(r, "{:.2f} x") + (f" ({base:.1f} s vs {ledger:.1f} s{where})" if r else ""),
                    None if r is None else r >= 5))
    sizes = sorted(n for n in results if results[n].get("ledger"))
    span = f"{sizes[-1]:,} / {sizes[0]:,}" if len(sizes) > 1 else "largest / smallest"
    per_file = {n: results[n]["ledger"]["cpu_s"] / n for n in sizes}
    g = ratio(per_file[sizes[-1]], per_file[sizes[0]]) if len(sizes) > 1 else None
    rows.append(Row("ledger", f"CPU time per file, {span} PCs <= 1.3",
                    fmt(g, "{:.2f}") + (" (" + ", ".join(f"{n:,}: {per_file[n] * 1e3:.2f} ms" for n in sizes) + ")"
                                        if g else ""),
                    None if g is None else g <= 1.3))
    peaks = {n: results[n]["ledger"]["peak_kib_max"] for n in sizes}
    p = ratio(peaks[sizes[-1]], peaks[sizes[0]]) if len(sizes) > 1 else None
    rows.append(Row("ledger", f"peak memory, {span} PCs <= 1.1 x (independent of the number)",
                    fmt(p, "{:.2f} x") + (" (" + ", ".join(f"{n:,}: {peaks[n] / 1024:.1f} MiB" for n in sizes) + ")"
                                          if p else ""),
                    None if p is None else p <= 1.1))
    for n in sizes:
        got, want = results[n]["ledger"].get("counts"), results[n]["expected"]
        rows.append(Row("ledger", f"{n:,} PCs imported (files, rejected, records as generated)",
                        f"{results[n]['ledger']['wall_s']:.1f} s ({results[n]['ledger']['cpu_s']:.1f} s CPU), database "
                        f"{results[n]['ledger']['db_bytes'] / MIB:,.0f} MiB; {got['files']:,} files,"
                        f" {got['rejected']} rejected, {got['rows']:,} records" if got else "not measured",
                        None if got is None else got == want))
    return rows


def side_by_side(results):
    """One line per number of PCs and importer: median wall and CPU time (each
    run's in brackets), peak memory, database size."""
    lines = ["| PCs | rows | importer | wall | CPU | peak memory | database |", "|---|---|---|---|---|---|---|"]
    for n in sorted(results):
        for name in ("ledger", "ledger_report", "catalogue", "floor", "baseline"):
            run = results[n].get(name)
            if run:
                lines.append(f"| {n:,} | {results[n]['rows']:,} | {name} | {run['wall_s']:.2f} s"
                             f" ({', '.join(f'{w:.2f}' for w in run['walls_s'])}) | {run['cpu_s']:.2f} s"
                             f" ({', '.join(f'{c:.2f}' for c in run['cpus_s'])}) |"
                             f" {run['peak_kib_max'] / 1024:.1f} MiB | {run['db_bytes'] / MIB:,.0f} MiB |")
    return "\n".join(lines)

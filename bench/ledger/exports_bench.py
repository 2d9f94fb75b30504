#!/usr/bin/env python3
"""The exports' bench: a generated ledger of N PCs (imported once), then the
real program run on it, in turn, for the CSV files and workbook (--export),
the workbook alone (--xlsx), the GLPI files (--glpi) and nothing to write
(an empty folder imported: the database opened and the findings recomputed,
which every run does). With --catalogue the PCs are imported with the ledger
bench's 2,000-line catalogue, so the exports hold the licences and the
licence detail too. Each figure is a median of the runs; the CSV files'
time is --export less --xlsx, the others less the run that writes nothing,
in CPU time (the goals' measure on a shared machine) and wall time.

    exports_bench.py --ledger BIN --work DIR [--pcs 10000] [--repeats 3] [--catalogue] [--json FILE]"""

import argparse
import json
import shutil
import statistics
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from measure_ledger import record_set, software_catalogue, timed  # noqa: E402


def measure(ledger, pcs, work, repeats, with_catalogue=False):
    folder, manifest = record_set(work, pcs)
    db = folder / "exports.sqlite"
    out = folder / "exports-out"
    empty = folder / "empty"
    empty.mkdir(exist_ok=True)
    db.unlink(missing_ok=True)
    known = ["--catalogue", str(software_catalogue(folder / "catalogue-2000.csv"))] if with_catalogue else []
    imported = timed([ledger, "--db", str(db), "--no-report", *known, str(folder / "files")], folder / "import.log")
    assert imported["status"] in (0, 1), imported["output"]
    runs = {
        "nothing": lambda: [str(empty)],
        "export": lambda: ["--export", str(out / "export")],
        "xlsx": lambda: ["--xlsx", str(out / "inventory.xlsx")],
        "glpi": lambda: ["--glpi", str(out / "glpi")],
    }
    done = {name: [] for name in runs}
    for _ in range(repeats):
        for name, args in runs.items():
            shutil.rmtree(out, ignore_errors=True)
            out.mkdir()
            run = timed([ledger, "--db", str(db), "--no-report", *args()], folder / f"{name}.log")
            # The record set's bad files stay findings that need attention (status 4).
            assert run["status"] in (0, 4), run["output"]
            run["bytes"] = sum(p.stat().st_size for p in out.rglob("*") if p.is_file())
            done[name].append(run)
    shutil.rmtree(out, ignore_errors=True)
    med = {name: {"wall_s": statistics.median(r["wall_s"] for r in rs),
                  "cpu_s": statistics.median(r["cpu_s"] for r in rs),
                  "peak_kib": max(r["peak_kib"] for r in rs), "bytes": rs[-1]["bytes"]}
           for name, rs in done.items()}
    def spent(name, figure):
        """What writing `name` adds to a run, in `figure` (wall_s or cpu_s)."""
        less = "xlsx" if name == "export" else "nothing"
        return med[name][figure] - med[less][figure]

    return {"pcs": pcs, "catalogue": with_catalogue, "installs": manifest.get("rows"), "runs": med,
            **{f"{key}_{figure}": spent(name, figure) for key, name in (("csv", "export"), ("xlsx", "xlsx"),
                                                                         ("glpi", "glpi"))
               for figure in ("cpu_s", "wall_s")}}


def table(results):
    """CPU seconds (wall seconds in brackets): the machine is shared, so wall time varies most."""
    lines = ["| PCs | CSV files | workbook | GLPI files | workbook / CSV | GLPI / CSV | peak RSS: nothing, workbook, GLPI |",
             "|---:|---:|---:|---:|---:|---:|---|"]
    for r in results:
        peak = ", ".join(f"{r['runs'][n]['peak_kib'] / 1024:,.0f} MiB" for n in ("nothing", "xlsx", "glpi"))
        cells = [f"{r[k + '_cpu_s']:.2f} s ({r[k + '_wall_s']:.2f} s)" for k in ("csv", "xlsx", "glpi")]
        lines.append(f"| {r['pcs']:,} | {' | '.join(cells)} | {r['xlsx_cpu_s'] / r['csv_cpu_s']:.1f}× |"
                     f" {r['glpi_cpu_s'] / r['csv_cpu_s']:.1f}× | {peak} |")
    return "\n".join(lines)


def main(argv=None):
    p = argparse.ArgumentParser()
    p.add_argument("--ledger", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--pcs", default="10000")
    p.add_argument("--repeats", type=int, default=3)
    p.add_argument("--catalogue", action="store_true")
    p.add_argument("--json")
    a = p.parse_args(argv)
    results = []
    for pcs in (int(n) for n in a.pcs.split(",")):
        print(f"bench: the exports of {pcs:,} PCs, {a.repeats} time(s) each", flush=True)
        results.append(measure(a.ledger, pcs, Path(a.work), a.repeats, a.catalogue))
    print(table(results))
    if a.json:
        Path(a.json).write_text(json.dumps(results, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""The ledger's half of scripts/bench: for each number of PCs, a generated
folder of record files (made once, kept under the work folder) imported by
the ledger (also with a 2,000-line software catalogue), by the floor (the sqlite3 shell's .import of the same rows,
already one UTF-8 file) and by the plain Python baseline, each into a fresh
database, alternately. Every process is timed: its wall time, and its CPU
time and peak resident set by GNU time."""

import json
import shutil
import sqlite3
import statistics
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import catalogue  # noqa: E402
import make_records  # noqa: E402

# Bump when the generator's output changes, so kept folders are made again.
GENERATOR_VERSION = 3
FLOOR_TABLE = ("CREATE TABLE records(key TEXT, grp TEXT, item TEXT, subitem TEXT, contents TEXT,"
               " unit TEXT, renewalday TEXT)")


def record_set(root, pcs, seed=12):
    """The folder of `pcs` generated PCs under root, made when missing or stale."""
    folder = Path(root) / f"pcs-{pcs}"
    manifest = folder / "manifest.json"
    if manifest.exists():
        kept = json.loads(manifest.read_text())
        if kept.get("version") == GENERATOR_VERSION and kept.get("seed") == seed:
            return folder, kept
    shutil.rmtree(folder, ignore_errors=True)
    started = time.perf_counter()
    made = make_records.generate(folder, pcs, seed)
    made.update(version=GENERATOR_VERSION, generate_s=time.perf_counter() - started)
    manifest.write_text(json.dumps(made, indent=1, ensure_ascii=False))
    return folder, made


def software_catalogue(path, lines=2000):
    """A software catalogue of `lines` patterns for the generated PCs, written
    once: lines that match nothing first, so every name is tried against
    nearly all of them before its own line (the first match wins), then a
    line for each product, the runtimes and each department's tools."""
    if path.exists():
        return path
    q = lambda v: '"' + v.replace('"', '""') + '"' if any(c in v for c in ',"') else v  # noqa: E731
    named = [(f"{name.split(' (')[0]}*", name, publisher, "有償", "500") for name, publisher, _ in catalogue.PRODUCTS]
    named.append(("Microsoft Visual C++ *", "Visual C++ 再頒布可能パッケージ", "Microsoft", "無償", ""))
    named.append(("Microsoft Office Proofing Tools 2016 - *", "Office 校正ツール", "Microsoft", "無償", ""))
    named += [(f"{dept.upper()} *", f"{dept.upper()} 部門ツール", "", "無償", "") for dept in catalogue.DEPARTMENTS]
    unused = [(f"未使用の製品 {n:04d} *", f"未使用 {n:04d}", "", "有償", "10") for n in range(lines - len(named))]
    rows = ["パターン,製品名,発行元,種別,ライセンス数,サポート終了日"]
    rows += [",".join(map(q, r)) + ",2030-01-01" for r in unused + named]
    path.write_text("\r\n".join(rows) + "\r\n", encoding="utf-8-sig")
    return path


def timed(command, log, cwd=None):
    """Runs a command to its end; wall and CPU seconds, peak KiB, exit status.
    GNU time stands between: a child's peak resident set as wait4 gives it
    counts the memory of the process that forked it, here the bench itself."""
    usage = Path(log).with_suffix(".usage")
    with open(log, "wb") as out:
        started = time.perf_counter()
        status = subprocess.run(["/usr/bin/time", "-q", "-f", "%U %S %M", "-o", str(usage), *command],
                                stdout=out, stderr=subprocess.STDOUT, cwd=cwd).returncode
        wall = time.perf_counter() - started
    user, system, peak = usage.read_text().split()[-3:]
    return {"wall_s": wall, "cpu_s": float(user) + float(system), "peak_kib": int(peak),
            "status": status, "output": Path(log).read_text(errors="replace")[-2000:]}


def importers(ledger, folder):
    """name -> (command for a database path, whether its exit status is fine)."""
    return {
        # 1: some files were rejected, as the bad ones must be.
        "ledger": (lambda db: [str(ledger), "--db", str(db), "--no-report", str(folder / "files")], lambda s: s in (0, 1)),
        "catalogue": (lambda db: [str(ledger), "--db", str(db), "--no-report", "--catalogue",
                                  str(software_catalogue(folder / "catalogue-2000.csv")), str(folder / "files")],
                      lambda s: s in (0, 1)),
        # The same import with its report beside the database (asked for by name).
        "ledger_report": (lambda db: [str(ledger), "--db", str(db), str(folder / "files")], lambda s: s in (0, 1)),
        "floor": (lambda db: ["sqlite3", str(db), FLOOR_TABLE,
                              f".import --csv {folder / 'floor-rows.csv'} records"], lambda s: s == 0),
        "baseline": (lambda db: [sys.executable, str(HERE / "baseline_import.py"), str(db), str(folder / "files")],
                     lambda s: s == 0),
    }


def ledger_counts(db):
    """Files read, rejected and records taken, read back from the ledger's database."""
    con = sqlite3.connect(f"file:{db}?mode=ro", uri=True)
    try:
        one = lambda sql: con.execute(sql).fetchone()[0]  # noqa: E731
        return {"files": one("SELECT count(*) FROM files"),
                "rejected": one("SELECT count(*) FROM files WHERE rejected IS NOT NULL"),
                "rows": one("SELECT count(*) FROM records")}
    finally:
        con.close()


def measure_size(ledger, folder, manifest, repeats, only=None):
    """Each importer `repeats` times, in turn; the median run of each."""
    work = folder / "db"
    commands = importers(ledger, folder)
    names = [n for n in commands if (only is None and n != "ledger_report") or (only is not None and n in only)]
    runs = {n: [] for n in names}
    for _ in range(repeats):
        for name in names:
            shutil.rmtree(work, ignore_errors=True)
            work.mkdir()
            db = work / f"{name}.sqlite"
            command, fine = commands[name]
            run = timed(command(db), work.parent / f"{name}.log")
            if not fine(run["status"]):
                raise RuntimeError(f"{name} ended with {run['status']}: {run['output']}")
            run["db_bytes"] = sum(p.stat().st_size for p in work.iterdir())
            if name.startswith("ledger") or name == "catalogue":
                run["counts"] = ledger_counts(db)
            runs[name].append(run)
    shutil.rmtree(work, ignore_errors=True)
    out = {"pcs": manifest["pcs"], "rows": manifest["rows"], "bytes": manifest["bytes"],
           "expected": {"files": manifest["files"], "rejected": manifest["rejected"], "rows": manifest["rows"]}}
    for name, done in runs.items():
        # Medians of each figure: the machine is shared, so a run may stall.
        middle = sorted(done, key=lambda r: r["cpu_s"])[len(done) // 2]
        out[name] = {**middle, "wall_s": median([r["wall_s"] for r in done]),
                     "walls_s": [r["wall_s"] for r in done], "cpus_s": [r["cpu_s"] for r in done],
                     "peak_kib_max": max(r["peak_kib"] for r in done)}
    return out


def measure(ledger, sizes, root, repeats_below=100_000, only=None):
    """Figures per number of PCs; the largest sets are imported once each."""
    results = {}
    for pcs in sizes:
        folder, manifest = record_set(root, pcs)
        repeats = 3 if pcs < repeats_below else 1
        print(f"bench: ledger, floor and baseline on {pcs:,} PCs ({manifest['bytes'] / 2**20:,.0f} MiB),"
              f" {repeats} time(s) each", flush=True)
        results[pcs] = measure_size(ledger, folder, manifest, repeats, only)
    return results


def median(values):
    return statistics.median(values) if values else None

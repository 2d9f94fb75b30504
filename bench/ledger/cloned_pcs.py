"""The size of findings when many PCs share one identity: N PCs of a VDI pool
cloned from one image (one system UUID, one computer name) against N distinct
PCs, each folder imported by tallyhawk-ledger into a fresh database with its
report. Prints the database's and the report's sizes and their ratios.

    cloned_pcs.py --ledger BIN --work DIR [--pcs 3000]
"""

import argparse
import json
import re
import shutil
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import make_records  # noqa: E402

CLONE_UUID = "4C4C4544-0042-3810-8030-B7C04F4B4C31"
CLONE_NAME = "VDI-POOL-GOLD"


def clone(files):
    """Every file given the same UUID and computer name, as a cloned pool."""
    uuid = re.compile(r"^([^,]*,WMI,MotherBoard,Device_ID,)[^,]*", re.M)
    name = re.compile(r"^([^,]*,LAN,LAN,コンピュータ名,)[^,]*", re.M)
    for f in files.glob("*.csv"):
        text = f.read_bytes().decode("cp932", errors="surrogateescape")
        text = name.sub(r"\g<1>" + CLONE_NAME, uuid.sub(r"\g<1>" + CLONE_UUID, text))
        f.write_bytes(text.encode("cp932", errors="surrogateescape"))


def run(ledger, folder):
    db = folder / "ledger.sqlite"
    db.unlink(missing_ok=True)
    status = subprocess.run([str(ledger), "--db", str(db), str(folder / "files")],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    if status not in (0, 1, 4):
        raise RuntimeError(f"the ledger ended with {status}")
    import sqlite3
    con = sqlite3.connect(db)
    kinds = dict(con.execute("SELECT kind, COUNT(*) FROM findings GROUP BY kind").fetchall())
    con.close()
    return {"db_bytes": db.stat().st_size, "report_bytes": (folder / "report.html").stat().st_size, "findings": kinds}


def main(argv=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--ledger", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    parser.add_argument("--pcs", type=int, default=3000)
    parser.add_argument("--json", type=Path)
    args = parser.parse_args(argv)
    results = {}
    for kind in ("distinct", "cloned"):
        folder = args.work / f"{kind}-{args.pcs}"
        shutil.rmtree(folder, ignore_errors=True)
        make_records.generate(folder, args.pcs, bad_every=10**9)
        if kind == "cloned":
            clone(folder / "files")
        results[kind] = run(args.ledger, folder)
        shutil.rmtree(folder / "files", ignore_errors=True)
    d, c = results["distinct"], results["cloned"]
    results["ratios"] = {"db": c["db_bytes"] / d["db_bytes"], "report": c["report_bytes"] / d["report_bytes"]}
    print(f"{args.pcs:,} PCs | database | report.html | findings")
    for kind in ("distinct", "cloned"):
        r = results[kind]
        print(f"{kind} | {r['db_bytes'] / 2**20:,.1f} MiB | {r['report_bytes'] / 2**20:,.2f} MiB | "
              + ", ".join(f"{k} {v}" for k, v in sorted(r["findings"].items())))
    print(f"cloned / distinct | {results['ratios']['db']:.2f} x | {results['ratios']['report']:.2f} x |")
    if args.json:
        args.json.write_text(json.dumps(results, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())

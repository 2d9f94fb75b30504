#!/usr/bin/env python3
"""The plain way an administrator would script the import, as the ledger's
baseline: every *.csv under FOLDER decoded from code page 932 by the csv
module, checked for the header and seven fields, and inserted with
executemany in one transaction.

    baseline_import.py DB FOLDER"""

import csv
import sqlite3
import sys
from pathlib import Path

HEADER = ["Key", "Group", "Item", "SubItem", "Contents", "Unit", "Renewalday"]


def rows_of(path):
    """The records of a record file, or None when it is not one."""
    try:
        with open(path, encoding="cp932", newline="") as f:
            reader = csv.reader(f)
            if next(reader, None) != HEADER:
                return None
            rows = list(reader)
    except UnicodeDecodeError:
        return None
    return rows if all(len(r) == 7 for r in rows) else None


def main(db, folder):
    con = sqlite3.connect(db)
    con.execute("CREATE TABLE files(id INTEGER PRIMARY KEY, name TEXT NOT NULL, rejected INTEGER NOT NULL)")
    con.execute("CREATE TABLE records(file_id INTEGER NOT NULL, line INTEGER NOT NULL, key TEXT, grp TEXT,"
                " item TEXT, subitem TEXT, contents TEXT, unit TEXT, renewalday TEXT,"
                " PRIMARY KEY(file_id, line)) WITHOUT ROWID")
    rejected = 0
    with con:
        for path in sorted(Path(folder).rglob("*.csv")):
            rows = rows_of(path)
            file_id = con.execute("INSERT INTO files(name, rejected) VALUES (?, ?)",
                                  (path.name, rows is None)).lastrowid
            if rows is None:
                rejected += 1
                continue
            con.executemany("INSERT INTO records VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                            ((file_id, n, *r) for n, r in enumerate(rows, start=2)))
    con.close()
    print(f"rejected {rejected}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))

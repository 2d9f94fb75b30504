#!/usr/bin/env python3
"""tallyhawk-ledger.exe under Wine on record files that real whole runs
delivered (test_whole_run.py keeps them: the same PC under its number and
under a mistyped one), a file cut short made from one of them, and a
register that lists a PC that never reported: its exit status and summary,
the findings, the exports byte for byte, and a second import that changes
nothing."""

import shutil
import sqlite3
import unittest

import harness
import ledger_expected
import runs

FIRST, MISTYPED = runs.SAMPLE.number, runs.MISTYPED.number
CUT, MISSING = "abc-05-0030", "abc-05-0040"
REGISTER = f"管理番号,部署\r\n{FIRST},総務課\r\n{CUT},経理課\r\n{MISSING},営業部\r\n"
FOLDER = r"C:\台帳"


def cut_short_copy(data, number):
    """Another PC's file, copied until its first application only: the
    records of a PC with its own identity, under `number`, and no asset
    records at its end."""
    identity = {"Device_ID": lambda v: "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}",
                "MACアドレス": lambda v: "0e" + v[2:],  # each adapter's address another one
                "コンピュータ名": lambda v: "PC-KEIRI-30"}
    out = []
    for r in ledger_expected.records(data):
        r = [number, *r[1:4], identity.get(r[3], str)(r[4]), *r[5:]]
        out.append(",".join(r))
        if r[1:3] == ["Soft", "Application"]:
            break
    return (ledger_expected.HEADER + "\r\n" + "\r\n".join(out) + "\r\n").encode("cp932")


def identities(rows):
    return {(r[3], r[4]) for r in rows if r[3] in ("Device_ID", "MACアドレス", "コンピュータ名") and r[4]}


class Ledger(unittest.TestCase):
    def test_real_deliveries_imported_checked_and_exported(self):
        delivered = {n: (runs.delivered_folder() / f"{n}.csv").read_bytes() for n in (FIRST, MISTYPED)}
        parsed = {n: ledger_expected.records(d) for n, d in delivered.items()}
        shared = identities(parsed[FIRST]) & identities(parsed[MISTYPED])
        self.assertEqual({kind for kind, _ in shared}, {"Device_ID", "MACアドレス", "コンピュータ名"},
                         "the two runs are not recognisably the same PC")
        files = {**delivered, CUT: cut_short_copy(delivered[FIRST], CUT)}

        with harness.Scenario("ledger") as s:
            root = s.unix_path(FOLDER)
            save = root / "SAVE"
            save.mkdir(parents=True)
            for number, data in files.items():
                (save / f"{number}.csv").write_bytes(data)
            (root / "register.csv").write_bytes(REGISTER.encode("cp932"))
            exe = s.put(harness.current_config().exe, FOLDER)

            def ledger(export):
                result = s.wine(exe, "--db", "ledger.sqlite", "--register", "register.csv", "--export", export,
                                "SAVE", cwd=FOLDER, timeout=180)
                return result.returncode, result.stdout

            status, summary = ledger("out")
            if (root / "out").is_dir():
                shutil.copytree(root / "out", s.artifacts / "exports", dirs_exist_ok=True)
            self.assertEqual(status, 0, summary)
            for line in ("読み込んだファイル / files read: 3（うち取り込み済み / already imported: 0）",
                         "取り込んだファイル / taken: 3", "PC: 3（新規 / new: 3、更新 / updated: 0）",
                         "取り込めなかったファイル / rejected: 0"):
                self.assertIn(line, summary.splitlines())

            db = root / "ledger.sqlite"
            con = sqlite3.connect(db)
            findings = set(con.execute("SELECT kind, number FROM findings"))
            first_dump = list(con.iterdump())
            con.close()
            no_software = {("no_software", n) for n, rows in parsed.items() if not ledger_expected.applications(rows)}
            self.assertEqual(findings, {
                ("cut_short", CUT),
                # One finding per shared value, its numbers beside it.
                *((kind, None) for kind in ("same_uuid", "same_mac", "same_computer_name")),
                ("not_in_register", MISTYPED), ("not_reported", MISSING), *no_software})

            register = {FIRST: ["総務課"], CUT: ["経理課"]}
            expected = ledger_expected.exports(files, ["部署"], register)
            for name, data in expected.items():
                self.assertEqual((root / "out" / name).read_bytes().decode(), data.decode(), name)

            # The same folder again: nothing new, the database and exports unchanged.
            status, summary = ledger("again")
            self.assertEqual(status, 0, summary)
            self.assertIn("取り込んだファイル / taken: 0", summary.splitlines())
            con = sqlite3.connect(db)
            self.assertEqual(list(con.iterdump()), first_dump)
            con.close()
            for name in expected:
                self.assertEqual((root / "again" / name).read_bytes(), (root / "out" / name).read_bytes(), name)
            self.assertEqual({n: (save / f"{n}.csv").read_bytes() for n in files}, files, "an input was changed")


if __name__ == "__main__":
    harness.main()

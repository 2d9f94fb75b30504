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
            self.assertEqual(status, 4, summary)  # all taken; the file cut short needs attention
            for line in ("読み込んだファイル / files read: 3（うち取り込み済み / already imported: 0）",
                         "取り込んだファイル / taken: 3", "PC: 3（新規 / new: 3、更新 / updated: 0）",
                         "取り込めなかったファイル / rejected: 0",
                         "  途中で切れた記録ファイル / Record file cut short: 1（要対応 / needs attention）"):
                self.assertIn(line, summary.splitlines())

            db = root / "ledger.sqlite"
            con = sqlite3.connect(db)
            findings = set(con.execute("SELECT kind, number FROM findings"))
            first_dump = list(con.iterdump())
            con.close()
            captions = {n: next((r[4] for r in ledger_expected.records(d) if r[1:4] == ["Soft", "OS", "Version"]), "")
                        for n, d in files.items()}
            # One PC under two numbers: the register's number is its current one, the PC checked under it only.
            current = FIRST
            past_support = {("end_of_support", n) for n, c in captions.items()
                            if n != MISTYPED and ledger_expected.past_end_of_support(c)}
            no_software = {("no_software", n) for n, rows in parsed.items() if not ledger_expected.applications(rows)}
            self.assertEqual(findings, {
                ("cut_short", CUT),
                # One finding per shared value, its numbers beside it; the PC's older number under its current one.
                *((kind, None) for kind in ("same_uuid", "same_mac", "same_computer_name")), ("older_numbers", current),
                ("not_in_register", MISTYPED), ("not_reported", MISSING), *no_software, *past_support})

            register = {FIRST: ["総務課"], CUT: ["経理課"]}
            expected = ledger_expected.exports(files, ["部署"], register)
            for name, data in expected.items():
                self.assertEqual((root / "out" / name).read_bytes().decode(), data.decode(), name)

            # The same folder again: nothing new, the database and exports unchanged.
            status, summary = ledger("again")
            self.assertEqual(status, 4, summary)
            self.assertIn("取り込んだファイル / taken: 0", summary.splitlines())
            con = sqlite3.connect(db)
            self.assertEqual(list(con.iterdump()), first_dump)
            con.close()
            for name in expected:
                self.assertEqual((root / "again" / name).read_bytes(), (root / "out" / name).read_bytes(), name)
            self.assertEqual({n: (save / f"{n}.csv").read_bytes() for n in files}, files, "an input was changed")


    def test_catalogue_over_two_collections(self):
        """A catalogue naming the runs' own software (code page 932, TAB, a
        full-width upper-case pattern, a bad line), then a later collection of
        the first PC made from the second run's file: the findings,
        licences.csv and changes.csv, each worked out from the files."""
        delivered = {n: (runs.delivered_folder() / f"{n}.csv").read_bytes() for n in (FIRST, MISTYPED)}
        parsed = {n: ledger_expected.records(d) for n, d in delivered.items()}
        names = [r[3] for r in parsed[FIRST] if r[1:3] == ["Soft", "Application"]]
        self.assertGreaterEqual(len(names), 3, "the run delivered too few applications for this test")
        caption = next(r[4] for r in parsed[FIRST] if r[1:4] == ["Soft", "OS", "Version"])
        later = ledger_expected.later_copy(parsed[MISTYPED], FIRST, drop_application=names[-1])
        wide = "".join("\u3000" if c == " " else chr(ord(c) + 0xFEE0) if "!" <= c <= "~" else c for c in names[1].upper())
        catalogue = ("パターン\t製品名\t発行元\t種別\tライセンス数\tサポート終了日\r\n"
                     f"{names[0][:-1]}?\t製品一\t発行元一\t有償\t1\t\r\n"
                     f"{wide}\t製品二\t\t禁止\t\t\r\n"
                     "存在しない製品*\t製品三\t\t必須\t\t\r\n"
                     f"OS:{caption[:6]}*\tOS製品\t\t無償\t\t2020/01/01\r\n"
                     "何か\t製品四\t\t有料\t\t\r\n")

        with harness.Scenario("ledger_catalogue") as s:
            root = s.unix_path(FOLDER)
            (root / "SAVE").mkdir(parents=True)
            (root / "LATER").mkdir()
            for number, data in delivered.items():
                (root / "SAVE" / f"{number}.csv").write_bytes(data)
            (root / "LATER" / f"{FIRST}.csv").write_bytes(ledger_expected.record_bytes(later))
            (root / "catalogue.txt").write_bytes(catalogue.encode("cp932"))
            exe = s.put(harness.current_config().exe, FOLDER)
            first = s.wine(exe, "--db", "ledger.sqlite", "--catalogue", "catalogue.txt", "--no-report", "SAVE",
                           cwd=FOLDER, timeout=180)
            self.assertEqual(first.returncode, 4, first.stdout + first.stderr)  # 有料 is no kind: a finding
            self.assertIn("6行目 / line 6: 種別が不明です / unknown kind: 有料", first.stdout + first.stderr)
            second = s.wine(exe, "--db", "ledger.sqlite", "--no-report", "--export", "out", "LATER",
                            cwd=FOLDER, timeout=180)
            if (root / "out").is_dir():
                shutil.copytree(root / "out", s.artifacts / "exports", dirs_exist_ok=True)
            self.assertEqual(second.returncode, 4, second.stdout + second.stderr)  # the catalogue kept, its finding too

            # The PC reported under MISTYPED and later under FIRST: counted and checked once, under FIRST.
            current = {FIRST: later}
            apps = {n: {r[3] for r in rows if r[1:3] == ["Soft", "Application"]} for n, rows in current.items()}
            has_one = {n for n, a in apps.items() if any(len(x) == len(names[0]) and x[:-1] == names[0][:-1] for x in a)}
            has_two = {n for n, a in apps.items() if names[1] in a}
            os_of = {n: next(r[4] for r in rows if r[1:4] == ["Soft", "OS", "Version"]) for n, rows in current.items()}
            old_os = {n: c.rsplit(" (", 1)[0] if c.endswith(")") else c for n, c in os_of.items()}
            has_os = {n for n, c in old_os.items() if c.startswith(caption[:6])}
            con = sqlite3.connect(root / "ledger.sqlite")
            found = set(con.execute("SELECT kind, CASE kind WHEN 'catalogue_value' THEN detail ELSE number END FROM findings"
                                    " WHERE kind IN ("
                                    "'licence_shortage', 'forbidden_software', 'required_missing', 'end_of_support',"
                                    " 'catalogue_value')"))
            con.close()
            self.assertEqual(found, {("catalogue_value", "6行目 種別: 有料"),
                                     *((("licence_shortage", None),) if len(has_one) > 1 else ()),
                                     *(("forbidden_software", n) for n in has_two),
                                     *(("required_missing", n) for n in current if apps[n]),  # no software read: not checked
                                     *(("end_of_support", n) for n in has_os)})
            self.assertEqual((root / "out" / "licences.csv").read_bytes(), ledger_expected.csv_bytes([
                ["製品名", "発行元", "種別", "保有ライセンス数", "導入台数", "過不足", "サポート終了日"],
                ["製品一", "発行元一", "有償", "1", str(len(has_one)), str(1 - len(has_one)), ""],
                ["製品二", "", "禁止", "", str(len(has_two)), "", ""],
                ["製品三", "", "必須", "", "0", "", ""],
                ["OS製品", "", "無償", "", str(len(has_os)), "", "2020-01-01"],
                ["製品四", "", "不明", "", "0", "", ""]]))  # its line kept, its kind unknown
            rows = ledger_expected.parse_csv((root / "out" / "changes.csv").read_bytes())
            self.assertEqual(rows[0], ["管理番号", "区分", "項目", "前回", "今回"])
            expected = [list(map(ledger_expected.field, r)) for r in ledger_expected.changes(parsed[FIRST], later)]
            self.assertEqual(sorted(rows[1:]), sorted(expected))


if __name__ == "__main__":
    harness.main()

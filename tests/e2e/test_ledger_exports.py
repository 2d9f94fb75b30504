#!/usr/bin/env python3
"""tallyhawk-ledger.exe under Wine writes the workbook and the GLPI files
for the record files that real whole runs delivered: the workbook's sheets,
read back by LibreOffice, hold what the record files say (the exports'
oracle, ledger_expected.py), and the PC's GLPI file (the two runs are one
PC: it is sent once, under the number collected last) is valid against
GLPI's schema and holds its management number, MAC addresses and every
software name of its file."""

import csv
import io
import json
import shutil
import sys
import unittest
import zipfile
from pathlib import Path

import jsonschema

import harness
import ledger_expected
import runs

FIRST, MISTYPED = runs.SAMPLE.number, runs.MISTYPED.number
REGISTER = f"管理番号,部署\r\n{FIRST},総務課\r\n"
FOLDER = r"C:\台帳"
EXPORTS_TESTS = Path(__file__).resolve().parents[1] / "ledger" / "exports"
SCHEMA = EXPORTS_TESTS / "glpi-inventory-format" / "inventory.schema.json"
sys.path.insert(0, str(EXPORTS_TESTS))

from spreadsheet import KINDS, SHEET_HEADINGS, sheets_by_libreoffice, shown, unneutralised  # noqa: E402

SHEETS = {"PC一覧": "pcs.csv", "ソフトウェア": "software.csv", "導入状況": "installs.csv"}


def csv_rows(data, encoding):
    return list(csv.reader(io.StringIO(data.decode(encoding), newline="")))


class LedgerExports(unittest.TestCase):
    def test_workbook_and_glpi_files_from_real_deliveries(self):
        files = {n: (runs.delivered_folder() / f"{n}.csv").read_bytes() for n in (FIRST, MISTYPED)}
        with harness.Scenario("ledger_exports") as s:
            root = s.unix_path(FOLDER)
            (root / "SAVE").mkdir(parents=True)
            for number, data in files.items():
                (root / "SAVE" / f"{number}.csv").write_bytes(data)
            (root / "register.csv").write_bytes(REGISTER.encode("cp932"))
            exe = s.put(harness.current_config().exe, FOLDER)
            result = s.wine(exe, "--db", "ledger.sqlite", "--no-report", "--register", "register.csv",
                            "--xlsx", "台帳.xlsx", "--glpi", "glpi", "--glpi-tag", "部署", "SAVE",
                            cwd=FOLDER, timeout=180)
            for name in ("台帳.xlsx", "glpi"):
                if (root / name).exists():
                    shutil.copy2(root / name, s.artifacts) if name.endswith("xlsx") else \
                        shutil.copytree(root / name, s.artifacts / name, dirs_exist_ok=True)
            self.assertEqual(result.returncode, 0, result.stdout)

            expected = ledger_expected.exports(files, ["部署"], {FIRST: ["総務課"]})
            sheets = sheets_by_libreoffice(root / "台帳.xlsx", s.artifacts / "sheets")
            self.assertEqual(list(sheets)[:4], ["集計", *SHEETS])  # the summary first, to print on the first page
            for sheet, name in SHEETS.items():
                rows = csv_rows(expected[name], "utf-8-sig")
                kinds = [KINDS.get(sheet, {}).get(h) for h in rows[0]]  # numbers and days as typed cells show them
                want = [[SHEET_HEADINGS.get(h, h) for h in rows[0]]] + [[shown(unneutralised(v), k) for v, k in zip(row, kinds)] for row in rows[1:]]
                self.assertEqual(sheets[sheet], want, sheet)

            schema = json.loads(SCHEMA.read_text(encoding="utf-8"))
            checker = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
            # The two runs are one PC (one UUID): GLPI gets it once, under the register's number.
            current = FIRST
            self.assertIn(f"  {current}: 同じPC（同じUUID）の別の管理番号", result.stdout)
            self.assertEqual(sorted(p.name for p in (root / "glpi").glob("*.json")), [f"{current}.json"])
            for number, data in [(current, files[current])]:
                rows = ledger_expected.records(data)
                inventory = json.loads((root / "glpi" / f"{number}.json").read_text(encoding="utf-8"))
                checker.validate(inventory)
                content = inventory["content"]
                self.assertEqual(content["bios"]["assettag"], number)
                self.assertEqual(inventory.get("tag"), "総務課" if number == FIRST else None)
                macs = {r[4].replace("-", ":").lower() for r in rows if r[3] == "MACアドレス" and r[4]}
                self.assertTrue(macs)
                self.assertEqual({n["mac"] for n in content["networks"] if "mac" in n}, macs)
                names = [r[3] for r in rows if r[1:3] == ["Soft", "Application"] and r[3]]
                self.assertEqual([sw["name"] for sw in content.get("softwares", [])], names)
            with zipfile.ZipFile(root / "glpi" / "glpi-inventory.zip") as z:
                self.assertEqual(z.namelist(), [f"{current}.json"])


if __name__ == "__main__":
    harness.main()

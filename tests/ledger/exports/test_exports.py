"""The exports as their consumers read them: the workbook opened by LibreOffice
(each sheet converted back to CSV) against the CSV files, and the GLPI files
against GLPI's schema. The record files and the register are written here;
every expectation comes from them."""

import json
import os
import re
import shutil
import sqlite3
import subprocess
import unittest
import zipfile
from pathlib import Path

import jsonschema

from spreadsheet import read_csv, sheets_by_libreoffice, unneutralised

HERE = Path(__file__).resolve().parent
OUT = Path(os.environ.get("EXPORTS_OUT", "/tmp/ledger-exports"))
LEDGER = os.environ.get("LEDGER", "tallyhawk-ledger")
SCHEMA = json.loads((HERE / "glpi-inventory-format" / "inventory.schema.json").read_text(encoding="utf-8"))
SHEETS = ["PC一覧", "ソフトウェア", "導入状況", "検出事項"]
CSV_OF = {"PC一覧": "pcs.csv", "ソフトウェア": "software.csv", "導入状況": "installs.csv", "検出事項": "findings.csv"}

LONG_NUMBER = "12345678901234567890"
PCS = {
    "abc-05-0012": dict(date="2026/12/01", time="09:05:07", name="PC-ALPHA", board="000123", memory="8302456", disk="237873",
                        adapters=[("00-1A-2B-3C-4D-5E", "192.168.1.20 fe80::1"), ("00-1A-2B-3C-4D-6F", "")],
                        software=[("=1+1", "1.0", "Evil"), ("表計算ソフト", "16.0", LONG_NUMBER),
                                  ("7-Zip", "1.10", "Igor Pavlov")],
                        surname="山田", given="太郎"),
    "abc-05-0013": dict(date="2026/12/02", time=None, name="PC_x0042_BETA", board="0042", memory="16.0", disk="0500",
                        adapters=[("00-1A-2B-3C-4D-7A", "10.0.0.5")],
                        software=[("7-Zip", "1.10", "Igor Pavlov"), ("経費精算", "2.3", "C:\\Apps\\経費")],
                        surname="佐藤", given="花子"),
}
REGISTER = "管理番号,部署,リース番号\r\nabc-05-0012,総務部,1.10\r\nabc-05-0013,経理部,16.0\r\nabc-05-0014,営業部,000123\r\n"


def record_file(number, pc):
    rows = []
    if pc["time"]:
        rows.append(("Create", "DateTime", pc["date"], pc["time"], ""))
    for i, (mac, ips) in enumerate(pc["adapters"]):
        item = "Adapter" + (str(i + 1) if i else "")
        rows += [("LAN", item, "MACアドレス", mac, ""), ("LAN", item, "IPアドレス", ips, "")]
    rows += [("LAN", "LAN", "コンピュータ名", pc["name"], ""), ("Hard", "メモリ", "全容量", pc["memory"], "KB"),
             ("Hard", "SystemHDD", "全容量", pc["disk"], "MB"),
             ("WMI", "MotherBoard", "SerialNo", pc["board"], "")]
    rows += pc.get("identity", [])
    rows += [("Soft", "Application", *s) for s in pc["software"]]
    rows += [("資産", "管理情報", "姓", pc["surname"], ""), ("資産", "管理情報", "名", pc["given"], ""),
             ("資産", "管理情報", "管理番号", number, "")]
    lines = ["Key,Group,Item,SubItem,Contents,Unit,Renewalday"]
    lines += [",".join((number, *r, pc["date"])) for r in rows]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def by_column(rows):
    return [dict(zip(rows[0], r)) for r in rows[1:]]


class Exports(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(OUT, ignore_errors=True)
        (OUT / "SAVE").mkdir(parents=True)
        for number, pc in PCS.items():
            (OUT / "SAVE" / f"{number}.csv").write_bytes(record_file(number, pc))
        (OUT / "register.csv").write_bytes(REGISTER.encode("cp932"))
        cls.db = OUT / "ledger.sqlite"
        cls.run_ledger("--register", str(OUT / "register.csv"), "--export", str(OUT / "export"),
                       "--glpi", str(OUT / "glpi"), "--glpi-tag", "部署", str(OUT / "SAVE"))
        cls.sheets = sheets_by_libreoffice(OUT / "export" / "inventory.xlsx", OUT / "sheets")

    @classmethod
    def run_ledger(cls, *args, status=0):
        r = subprocess.run([LEDGER, "--db", str(cls.db), "--no-report", *args], capture_output=True, text=True)
        assert r.returncode == status, r.stdout + r.stderr
        return r

    def csv_rows(self, sheet):
        return [[unneutralised(v) for v in row] for row in read_csv(OUT / "export" / CSV_OF[sheet])]

    def test_sheets_hold_the_csv_files_rows(self):
        self.assertEqual(list(self.sheets), SHEETS)
        for sheet in SHEETS:
            with self.subTest(sheet=sheet):
                self.assertEqual(self.sheets[sheet], self.csv_rows(sheet))

    def test_values_come_back_exactly(self):
        pcs = {r["管理番号"]: r for r in by_column(self.sheets["PC一覧"])}
        self.assertEqual(set(pcs), set(PCS))
        for number, pc in PCS.items():
            date = pc["date"].replace("/", "-")
            self.assertEqual(
                {k: pcs[number][k] for k in ("姓", "名", "コンピュータ名", "メモリ(KB)", "システムディスク容量(MB)",
                                              "ボードシリアル", "MACアドレス", "収集日時", "部署", "リース番号")},
                {"姓": pc["surname"], "名": pc["given"], "コンピュータ名": pc["name"], "メモリ(KB)": pc["memory"],
                 "システムディスク容量(MB)": pc["disk"],
                 "ボードシリアル": pc["board"], "MACアドレス": " ".join(m for m, _ in pc["adapters"]),
                 "収集日時": f"{date} {pc['time']}" if pc["time"] else date,
                 "部署": {"abc-05-0012": "総務部", "abc-05-0013": "経理部"}[number],
                 "リース番号": {"abc-05-0012": "1.10", "abc-05-0013": "16.0"}[number]})
        installs = sorted((n, *s) for n, pc in PCS.items() for s in pc["software"])
        self.assertEqual(sorted(tuple(r) for r in self.sheets["導入状況"][1:]), installs)

    def test_cells_have_their_kinds_and_the_sheet_its_heading(self):
        with zipfile.ZipFile(OUT / "export" / "inventory.xlsx") as z:
            xml = z.read("xl/worksheets/sheet1.xml").decode()
            styles = z.read("xl/styles.xml").decode()
        row2 = re.search(r'<row r="2".*?</row>', xml).group(0)
        cells = dict(re.findall(r'<c r="([A-Z]+)2"([^>]*)>', row2))
        self.assertIn('t="inlineStr"', cells["P"])  # ボードシリアル 000123: text
        self.assertNotIn("t=", cells["I"])          # メモリ(KB): a number
        self.assertRegex(row2, r'<c r="I2"[^>]*><v>8302456</v>')
        self.assertNotIn("t=", cells["T"])          # 収集日時: a date-time serial with its format
        self.assertRegex(row2, r'<c r="T2" s="\d+"><v>46357\.37855324')
        self.assertIn('formatCode="yyyy-mm-dd hh:mm:ss"', styles)
        self.assertIn('<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>', xml)
        self.assertIn('<autoFilter ref="A1:V3"/>', xml)
        self.assertIn("<b/>", styles)
        # Excel reads "_xHHHH_" in a cell's text as an escaped character (ECMA-376's ST_Xstring),
        # LibreOffice only "_x005F_": the computer name PC_x0042_BETA must be written escaped.
        self.assertIn("<t>PC_x005F_x0042_BETA</t>", xml)
        self.assertRegex(xml, r'<col min="1" max="1" width="[\d.]+"')

    def test_a_collection_time_that_is_no_day_stays_text(self):
        db, xlsx = OUT / "noday.sqlite", OUT / "noday" / "inventory.xlsx"
        shutil.copy(self.db, db)
        with sqlite3.connect(db) as c:  # a database edited by hand
            c.execute("UPDATE collections SET collected_at = '2026-02-29 09:05:07' WHERE number = 'abc-05-0012'")
        xlsx.parent.mkdir()
        subprocess.run([os.environ["WRITE_WORKBOOK"], str(db), str(xlsx), "100"], capture_output=True, check=True)
        with zipfile.ZipFile(xlsx) as z:
            xml = z.read("xl/worksheets/sheet1.xml").decode()
        self.assertIn('<c r="T2" t="inlineStr"><is><t>2026-02-29 09:05:07</t></is></c>', xml)

    def test_a_table_longer_than_a_sheet_continues_on_the_next(self):
        xlsx = OUT / "small" / "inventory.xlsx"
        xlsx.parent.mkdir()
        printed = subprocess.run([os.environ["WRITE_WORKBOOK"], str(self.db), str(xlsx), "3"],
                                 capture_output=True, text=True, check=True).stdout.splitlines()
        sheets = sheets_by_libreoffice(xlsx, OUT / "small")
        # Two rows a sheet: 2 PCs, 4 applications, 5 installs, 1 finding (abc-05-0014 not reported).
        continued = ["ソフトウェア (2)", "導入状況 (2)", "導入状況 (3)"]
        self.assertEqual(list(sheets), ["PC一覧", "ソフトウェア", continued[0], "導入状況", *continued[1:], "検出事項"])
        self.assertEqual(printed, continued)
        installs = self.csv_rows("導入状況")
        parts = [sheets[name] for name in ["導入状況", *continued[1:]]]
        self.assertEqual([p[0] for p in parts], [installs[0]] * 3)
        self.assertEqual([r for p in parts for r in p[1:]], installs[1:])

    def test_glpi_files_are_valid_and_hold_each_pcs_identity_and_software(self):
        glpi = OUT / "glpi"
        files = sorted(p.name for p in glpi.glob("*.json"))
        self.assertEqual(files, sorted(f"{n}.json" for n in PCS))
        checker = jsonschema.Draft7Validator(SCHEMA, format_checker=jsonschema.FormatChecker())
        for number, pc in PCS.items():
            inventory = json.loads((glpi / f"{number}.json").read_text(encoding="utf-8"))
            checker.validate(inventory)
            content = inventory["content"]
            self.assertEqual(content["bios"]["assettag"], number)
            self.assertEqual(content["bios"]["msn"], pc["board"])
            self.assertEqual(inventory["tag"], {"abc-05-0012": "総務部", "abc-05-0013": "経理部"}[number])
            self.assertEqual(sorted({n["mac"] for n in content["networks"]}),
                             sorted(m.replace("-", ":").lower() for m, _ in pc["adapters"]))
            self.assertEqual([(s["name"], s["version"], s.get("publisher")) for s in content["softwares"]],
                             [(n, v, p if p in ("Evil", "Igor Pavlov") else None) for n, v, p in pc["software"]])
        with zipfile.ZipFile(glpi / "glpi-inventory.zip") as z:
            self.assertEqual(sorted(z.namelist()), files)
            for name in files:
                self.assertEqual(z.read(name), (glpi / name).read_bytes())

    def test_a_tag_column_the_register_lacks_is_an_error(self):
        r = self.run_ledger("--glpi", str(OUT / "glpi-x"), "--glpi-tag", "課", status=3)
        self.assertIn("課", r.stderr)


class CatalogueAsExcelSavesIt(unittest.TestCase):
    """A catalogue saved as Excel's 「Unicode テキスト」 with one value the ledger cannot read: the
    line still counts, and the value is a finding in findings.csv, on the workbook's 検出事項 sheet
    and in the report's 検出事項, with the exit status that asks for attention."""

    def test_a_bad_value_keeps_its_line_and_is_a_finding_everywhere(self):
        out = OUT / "catalogue"
        shutil.rmtree(out, ignore_errors=True)
        (out / "SAVE").mkdir(parents=True)
        (out / "SAVE" / "abc-05-0012.csv").write_bytes(record_file("abc-05-0012", PCS["abc-05-0012"]))
        text = "パターン\t製品名\t種別\tライセンス数\r\n表計算*\t表計算\t有償\t1,000\r\n7-Zip*\t7-Zip\t無償\t２O\r\n"
        (out / "catalogue.txt").write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
        r = subprocess.run([LEDGER, "--db", str(out / "ledger.sqlite"), "--catalogue", str(out / "catalogue.txt"),
                            "--export", str(out / "export"), "--report", str(out / "report.html"), str(out / "SAVE")],
                           capture_output=True, text=True)
        self.assertEqual(r.returncode, 4, r.stdout + r.stderr)

        finding = {"検出事項": "カタログの読めない値", "管理番号": "", "ファイル": "catalogue.txt",
                   "詳細": "3行目 ライセンス数: ２O"}
        self.assertEqual(by_column(read_csv(out / "export" / "findings.csv")), [finding])
        sheets = sheets_by_libreoffice(out / "export" / "inventory.xlsx", out / "sheets")
        self.assertEqual(by_column(sheets["検出事項"]), [finding])

        page = (out / "report.html").read_text(encoding="utf-8")
        data = json.loads(re.search(r'<script type="application/json" id="report-data">(.*?)</script>', page,
                                    re.S).group(1))
        self.assertEqual([(f["title"], f["items"]) for f in data["findings"]],
                         [("カタログの読めない値", [[None, "catalogue.txt", finding["詳細"]]])])

# What GLPI's default rules would merge or refuse: white-box PCs (placeholder serials, UUID, MAC), a PC
# without a name, one PC under two numbers (the same UUID), a number Windows keeps for a device.
WHITE_BOX = [("WMI", "BIOS", "SerialNo", "To Be Filled By O.E.M.", ""),
             ("WMI", "MotherBoard", "Device_ID", "{03000200-0400-0500-0006-000700080009}", "")]
SAME_PC = [("WMI", "BIOS", "SerialNo", "SN-4", ""), ("WMI", "MotherBoard", "Device_ID", "{4444}", "")]
BASE = dict(date="2026/12/01", time="09:00:00", board="Default string", memory="8302456", disk="1", software=[],
            surname="鈴木", given="一郎", adapters=[], identity=WHITE_BOX)
GLPI_PCS = {"abc-06-0001": dict(BASE, name="WB-01", adapters=[("00-1A-2B-00-00-01", "192.168.1.21")]),
            "abc-06-0002": dict(BASE, name="WB-02", adapters=[("00-50-56-C0-00-08", "")]),  # VMware's VMnet8
            "abc-06-0003": dict(BASE, name=""),
            "abc-06-0004": dict(BASE, name="PC-OLD", date="2026/11/01", identity=SAME_PC),
            "abc-06-0005": dict(BASE, name="PC-NEW", identity=SAME_PC),
            "con": dict(BASE, name="PC-CON", date="2026/11/01", adapters=[("00-1A-2B-00-00-06", "")])}


class GlpiIdentities(unittest.TestCase):
    def test_each_pc_sent_once_apart_and_under_a_deviceid_its_next_collection_keeps(self):
        out = OUT / "glpi-identities"
        shutil.rmtree(out, ignore_errors=True)
        (out / "SAVE").mkdir(parents=True)
        for number, pc in GLPI_PCS.items():
            (out / "SAVE" / f"{number}.csv").write_bytes(record_file(number, pc))
        checker = jsonschema.Draft7Validator(SCHEMA, format_checker=jsonschema.FormatChecker())
        # What GLPI's rules match on (name, UUID, serial), its agent (deviceid), memory, ports (name=MAC).
        ident = lambda i: checker.validate(i) or " ".join([i["deviceid"], *(i["content"][k].get(f, "-") for k, f in (
            ("hardware", "name"), ("hardware", "uuid"), ("bios", "ssn"), ("bios", "msn"))),
            str(i["content"]["memories"][0]["capacity"]), *(f"{n['description']}={n.get('mac', '-')}"
                                                             for n in i["content"].get("networks", []))])
        sent = {"abc-06-0001.json": "abc-06-0001-2026-12-01-09-00-00 WB-01 - - - 8107 00:1a:2b:00:00:01=00:1a:2b:00:00:01",
                "abc-06-0002.json": "abc-06-0002-2026-12-01-09-00-00 WB-02 - - - 8107 00:50:56:c0:00:08=-",
                "abc-06-0003.json": "abc-06-0003-2026-12-01-09-00-00 abc-06-0003 - - - 8107",
                "abc-06-0005.json": "abc-06-0005-2026-12-01-09-00-00 PC-NEW 4444 SN-4 - 8107",
                "_con.json": "con-2026-11-01-09-00-00 PC-CON - - - 8107 00:1a:2b:00:00:06=00:1a:2b:00:00:06"}
        for run in ("first", "later"):
            r = subprocess.run([LEDGER, "--db", str(out / "db.sqlite"), "--no-report", "--glpi", str(out / run),
                                str(out / "SAVE")], capture_output=True, text=True)
            self.assertIn("  abc-06-0005: 同じPC（同じUUID）の古い管理番号 abc-06-0004 は送りません", r.stdout, r.stderr)
            self.assertEqual({p.name: ident(json.loads(p.read_text("utf-8"))) for p in (out / run).glob("*.json")},
                             sent)
            # The next collection of con: more memory, a second adapter listed first.
            (out / "SAVE" / "con.csv").write_bytes(record_file("con", dict(
                GLPI_PCS["con"], date="2026/12/02", memory="16604912",
                adapters=[("00-1A-2B-00-00-07", ""), *GLPI_PCS["con"]["adapters"]])))
            sent["_con.json"] = ("con-2026-11-01-09-00-00 PC-CON - - - 16215 00:1a:2b:00:00:07=00:1a:2b:00:00:07"
                                 " 00:1a:2b:00:00:06=00:1a:2b:00:00:06")


if __name__ == "__main__":
    unittest.main()

"""The exports as their consumers read them: the workbook opened by LibreOffice
(each sheet converted back to CSV, and printed to PDF) and by openpyxl (typed
cells, print setup) against the CSV files and the inputs, and the GLPI files
against GLPI's schema. The record files, the register and the catalogue are
written here; every expectation comes from them."""

import base64
import datetime
import json
import math
import os
import re
import shutil
import sqlite3
import subprocess
import unittest
import zipfile
import zlib
from pathlib import Path

import jsonschema
import openpyxl

from spreadsheet import KINDS, read_csv, sheets_by_libreoffice, shown, soffice_convert, unneutralised

HERE = Path(__file__).resolve().parent
OUT = Path(os.environ.get("EXPORTS_OUT", "/tmp/ledger-exports"))
LEDGER = os.environ.get("LEDGER", "tallyhawk-ledger")
SCHEMA = json.loads((HERE / "glpi-inventory-format" / "inventory.schema.json").read_text(encoding="utf-8"))
CSV_OF = {"PC一覧": "pcs.csv", "ソフトウェア": "software.csv", "導入状況": "installs.csv", "検出事項": "findings.csv",
          "ライセンス": "licences.csv", "ライセンス明細": "licence_installs.csv", "変更": "changes.csv"}
SHEETS = list(CSV_OF)

LONG_NUMBER = "12345678901234567890"
PCS = {
    "abc-05-0012": dict(date="2026/12/01", time="09:05:07", name="PC-ALPHA", board="000123", bios="JP1234567",
                        memory="8302456", disk="237873",
                        adapters=[("00-1A-2B-3C-4D-5E", "192.168.1.20 fe80::1"), ("00-1A-2B-3C-4D-6F", "")],
                        software=[("=1+1", "1.0", "Evil"), ("表計算ソフト", "16.0", LONG_NUMBER),
                                  ("7-Zip", "1.10", "Igor Pavlov")],
                        surname="山田", given="太郎"),
    "abc-05-0013": dict(date="2026/12/02", time=None, name="PC_x0042_BETA", board="0042", bios=None, memory="16.0",
                        disk="0500", adapters=[("00-1A-2B-3C-4D-7A", "10.0.0.5")],
                        software=[("7-Zip", "1.10", "Igor Pavlov"), ("経費精算", "2.3", "C:\\Apps\\経費")],
                        surname="佐藤", given="花子"),
}
# abc-05-0013 collected again, imported later: what the ledger holds now.
LATER = {"abc-05-0013": dict(PCS["abc-05-0013"], date="2026/12/03", memory="16777216",
                             software=[("7-Zip", "1.10", "Igor Pavlov"), ("経費精算", "2.4", "C:\\Apps\\経費"),
                                       ("表計算ソフト", "16.0", LONG_NUMBER)])}
CURRENT = {**PCS, **LATER}
REGISTER = ("管理番号,部署,リース番号,購入日,取得価額\r\nabc-05-0012,総務部,1.10,2021/4/1,\"128,000\"\r\n"
            "abc-05-0013,経理部,16.0,2022-11-30,98000\r\nabc-05-0014,営業部,000123,,\"1,234,567\"\r\n")
REGISTERED = {"abc-05-0012": ("総務部", "1.10", datetime.datetime(2021, 4, 1), 128000),
              "abc-05-0013": ("経理部", "16.0", datetime.datetime(2022, 11, 30), 98000)}
CATALOGUE = ("パターン,製品名,発行元,種別,ライセンス数,サポート終了日\r\n7-Zip*,7-Zip,Igor Pavlov,有償,1,2030/1/31\r\n"
             "表計算*,表計算ソフト,,有償,5,\r\n経費*,経費精算,,無償,,\r\n")
PRODUCTS = [("7-Zip", "7-Zip"), ("表計算ソフト", "表計算"), ("経費精算", "経費")]  # and the start its pattern matches


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
    if pc.get("bios"):
        rows.append(("WMI", "BIOS", "SerialNo", pc["bios"], ""))
    rows += [("Soft", "Application", *s) for s in pc["software"]]
    rows += [("資産", "管理情報", "姓", pc["surname"], ""), ("資産", "管理情報", "名", pc["given"], ""),
             ("資産", "管理情報", "管理番号", number, "")]
    lines = ["Key,Group,Item,SubItem,Contents,Unit,Renewalday"]
    lines += [",".join((number, *r, pc["date"])) for r in rows]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def report_data(page):  # each part a line "name:text": zlib's bytes in base 85, written with the page's own digits
    digits = str.maketrans("!#$%()*+,-./0123456789:;=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|",
                           "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+-;<=>?@^_`{|}~")
    parts = re.search(r'<script type="application/octet-stream" id="report-data">\n(.*?)</script>', page, re.S)[1]
    return {k: v for line in parts.splitlines()
            for k, v in json.loads(zlib.decompress(base64.b85decode(line.split(":", 1)[1].translate(digits)))).items()}


def by_column(rows):  # a table's rows as {heading: value}
    return [dict(zip(rows[0], r)) for r in rows[1:]]


def whole_number(text):  # a count or size: a number unless a leading zero or a point says it is not one
    return int(text) if re.fullmatch(r"0|[1-9][0-9]{0,14}", text) else text


def xstring(value):  # a cell's text as Excel reads it: "_xHHHH_" is character HHHH (openpyxl leaves it as written)
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m[1], 16)), value) if isinstance(value, str) else value


class Exports(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(OUT, ignore_errors=True)
        for folder, pcs in (("SAVE", PCS), ("LATER", LATER)):
            (OUT / folder).mkdir(parents=True)
            for number, pc in pcs.items():
                (OUT / folder / f"{number}.csv").write_bytes(record_file(number, pc))
        (OUT / "register.csv").write_bytes(REGISTER.encode("cp932"))
        (OUT / "catalogue.csv").write_bytes(CATALOGUE.encode("cp932"))
        cls.db = OUT / "ledger.sqlite"
        cls.run_ledger(str(OUT / "SAVE"))
        cls.run_ledger("--register", str(OUT / "register.csv"), "--catalogue", str(OUT / "catalogue.csv"),
                       "--export", str(OUT / "export"), "--glpi", str(OUT / "glpi"), "--glpi-tag", "部署",
                       str(OUT / "LATER"), status=None)
        cls.xlsx = OUT / "export" / "inventory.xlsx"
        cls.sheets = sheets_by_libreoffice(cls.xlsx, OUT / "sheets")
        cls.book = openpyxl.load_workbook(cls.xlsx)

    @classmethod
    def run_ledger(cls, *args, status=0):
        r = subprocess.run([LEDGER, "--db", str(cls.db), "--no-report", *args], capture_output=True, text=True)
        assert r.returncode == status or (status is None and r.returncode in (0, 1)), r.stdout + r.stderr
        return r

    def csv_rows(self, sheet):
        return [[unneutralised(v) for v in row] for row in read_csv(OUT / "export" / CSV_OF[sheet])]

    def typed_rows(self, sheet):
        """{column: value} per row as openpyxl reads the sheet (None for an empty cell)."""
        return by_column([[xstring(v) for v in r] for r in self.book[sheet].iter_rows(values_only=True)])

    def test_sheets_hold_the_csv_files_rows(self):
        self.assertEqual(list(self.sheets), SHEETS)
        for sheet in SHEETS:
            with self.subTest(sheet=sheet):
                header, *rows = self.csv_rows(sheet)
                kinds = [KINDS.get(sheet, {}).get(h) for h in header]
                self.assertEqual(self.sheets[sheet], [header] + [[shown(v, k) for v, k in zip(r, kinds)] for r in rows])

    def test_sheets_come_back_typed(self):  # each sheet's cells as openpyxl reads them, worked out from the inputs
        pcs = [{"管理番号": n, "姓": pc["surname"], "名": pc["given"], "コンピュータ名": pc["name"],
                "メモリ(KB)": whole_number(pc["memory"]), "システムディスク容量(MB)": whole_number(pc["disk"]),
                "ボードシリアル": pc["board"], "MACアドレス": " ".join(m for m, _ in pc["adapters"]),
                "IPアドレス": " ".join(ip for _, ip in pc["adapters"] if ip), "製造番号": pc["bios"],
                "収集日時": datetime.datetime.strptime(f"{pc['date']} {pc['time'] or '0:0:0'}", "%Y/%m/%d %H:%M:%S"),
                **dict(zip(("部署", "リース番号", "購入日", "取得価額"), REGISTERED[n])),
                "Win11判定": "不明"}  # no processor named, no Platform lines: nothing decides
               for n, pc in sorted(CURRENT.items())]
        heading = next(self.book["PC一覧"].iter_rows(values_only=True))
        self.assertLessEqual({k for pc in pcs for k in pc}, set(heading))
        installs = [s for pc in CURRENT.values() for s in pc["software"]]
        holders = [(product, n, pc["name"], f"{pc['surname']} {pc['given']}", name, version)  # what each pattern matches
                   for product, prefix in PRODUCTS for n, pc in sorted(CURRENT.items())
                   for name, version, _ in sorted(pc["software"]) if name.startswith(prefix)]
        held = {p: len({h[1] for h in holders if h[0] == p}) for p, _ in PRODUCTS}
        before, now = PCS["abc-05-0013"], LATER["abc-05-0013"]
        was, has = set(before["software"]), set(now["software"])
        changes = [("abc-05-0013", "ハードウェア", "Hard/メモリ/全容量", before["memory"] + " KB", now["memory"] + " KB")]
        changes += [("abc-05-0013", "ソフトウェア追加", n, None, v) for n, v, _ in has - was]
        changes += [("abc-05-0013", "ソフトウェア削除", n, v, None) for n, v, _ in was - has]
        for sheet, ordered, expected in [
                ("PC一覧", True, [tuple(pc.get(h) for h in heading) for pc in pcs]),
                ("導入状況", False, sorted((n, *s) for n, pc in CURRENT.items() for s in pc["software"])),
                ("ソフトウェア", False, sorted((*s, installs.count(s)) for s in set(installs))),
                ("ライセンス明細", True, holders),
                ("ライセンス", True, [
                    ("7-Zip", "Igor Pavlov", "有償", 1, held["7-Zip"], 1 - held["7-Zip"], datetime.datetime(2030, 1, 31)),
                    ("表計算ソフト", None, "有償", 5, held["表計算ソフト"], 5 - held["表計算ソフト"], None),
                    ("経費精算", None, "無償", None, held["経費精算"], None, None)]),
                ("変更", False, sorted(changes))]:
            with self.subTest(sheet=sheet):
                rows = [tuple(r.values()) for r in self.typed_rows(sheet)]
                self.assertEqual(rows if ordered else sorted(rows), expected)

    def test_every_sheet_prints_one_page_wide_with_its_titles(self):
        for sheet in SHEETS:
            ws = self.book[sheet]
            setup, number = ws.page_setup, next((i for i, c in enumerate(ws[1]) if c.value == "管理番号"), None)
            self.assertEqual(  # fitToWidth left out means 1
                (setup.orientation, int(setup.paperSize), setup.fitToWidth or 1, setup.fitToHeight,
                 ws.sheet_properties.pageSetUpPr.fitToPage, ws.print_title_rows, ws.print_title_cols,
                 ws.oddHeader.center.text, ws.oddFooter.center.text),
                ("landscape", 9, 1, 0, True, "$1:$1", None if number is None else f"$A:${chr(ord('A') + number)}",
                 "&A", "&P / &N"), sheet)
        # LibreOffice prints each of these small sheets on one A4 landscape page.
        pdf = soffice_convert(self.xlsx, OUT / "pdf", "pdf").read_bytes()
        boxes = re.findall(rb"/MediaBox\s*\[\s*0 0 ([\d.]+) ([\d.]+)\s*\]", pdf)
        self.assertEqual((len(re.findall(rb"/Type\s*/Page(?!s)", pdf)), {(round(float(w)), round(float(h))) for w, h in boxes}),
                         (len(SHEETS), {(842, 595)}))

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
        self.assertIn('<autoFilter ref="A1:Z3"/>', xml)
        self.assertIn('formatCode="#,##0;[Red]-#,##0"', styles)
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
        # Two rows a sheet: each table's rows over as many sheets as they need, typed as on one sheet.
        parts = {sheet: [sheet] + [f"{sheet} ({n})" for n in range(2, math.ceil((len(self.csv_rows(sheet)) - 1) / 2) + 1)]
                 for sheet in SHEETS}
        self.assertEqual(list(sheets), [name for sheet in SHEETS for name in parts[sheet]])
        self.assertEqual(printed, [name for sheet in SHEETS for name in parts[sheet][1:]])
        book = openpyxl.load_workbook(xlsx)
        for sheet in SHEETS:
            with self.subTest(sheet=sheet):
                rows = [tuple(map(xstring, r)) for name in parts[sheet] for r in book[name].iter_rows(values_only=True)]
                heading = next(self.book[sheet].iter_rows(values_only=True))
                self.assertEqual(rows[::3], [heading] * len(parts[sheet]))
                self.assertEqual([dict(zip(heading, r)) for i, r in enumerate(rows) if i % 3],
                                 self.typed_rows(sheet))

    def test_glpi_files_are_valid_and_hold_each_pcs_identity_and_software(self):
        glpi = OUT / "glpi"
        files = sorted(p.name for p in glpi.glob("*.json"))
        self.assertEqual(files, sorted(f"{n}.json" for n in CURRENT))
        checker = jsonschema.Draft7Validator(SCHEMA, format_checker=jsonschema.FormatChecker())
        for number, pc in CURRENT.items():
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
        data = report_data(page)
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

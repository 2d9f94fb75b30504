"""A workbook as a real spreadsheet program reads it: LibreOffice (headless)
converts every sheet to CSV, its cells as shown, or prints it to PDF."""

import csv
import re
import shutil
import subprocess
import zipfile
from pathlib import Path

# Comma, double quote, UTF-8, from line 1, cells as shown, one file per sheet.
CSV_FILTER = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1"


# The cells a spreadsheet holds as numbers (n), numbers of KB shown as GB (g), decimals (f), yen (y) or dates
# (d), by sheet and column; all others are text.
REGISTER_KINDS = {"購入日": "d", "取得価額": "n"}
KINDS = {"PC一覧": {"メモリ(KB)": "g", "システムディスク容量(MB)": "n", "システムディスク空き(MB)": "n", "ディスク合計(MB)": "n",
                  "収集日時": "d", **REGISTER_KINDS},
         "ソフトウェア": {"PC数": "n"}, "ライセンス": {"保有ライセンス数": "n", "導入台数": "n", "過不足": "n", "サポート終了日": "d"},
         "未報告": REGISTER_KINDS,
         "Windows11移行": {"メモリ(GB)": "f", "システムドライブ(GB)": "f", "概算費用": "y", "収集日時": "d", **REGISTER_KINDS}}
# The workbook's headings where they differ from the CSV file's (a unit).
SHEET_HEADINGS = {"メモリ(KB)": "メモリ(GB)"}


def shown(value, kind):
    """A CSV value as LibreOffice shows its typed cell: thousands separators, one decimal, yen, ISO dates."""
    number = re.fullmatch(r"-?(0|[1-9][0-9]{0,14})", value.replace(",", ""))
    decimal = re.fullmatch(r"[0-9]+(\.[0-9]+)?", value)
    day = re.fullmatch(r"(\d{4})[-/](\d{1,2})[-/](\d{1,2})( .*)?", value)
    return (f"{int(number[0]):,}" if kind == "n" and number else
            f"{int(number[0]) / 1048576:,.1f}" if kind == "g" and number else
            f"{float(value):,.1f}" if kind == "f" and decimal else
            f"¥{int(number[0]):,}" if kind == "y" and number else
            f"{day[1]}-{int(day[2]):02}-{int(day[3]):02}{day[4] or ''}" if kind == "d" and day else value)


def read_csv(path, encoding="utf-8-sig"):
    with open(path, encoding=encoding, newline="") as f:
        return list(csv.reader(f))


def unneutralised(value):
    """A CSV value without the quote that keeps a spreadsheet from running it."""
    return value[1:] if value[:1] == "'" and value[1:2] in ("=", "+", "-", "@", "\t", "\r") else value


def sheet_names(xlsx):
    with zipfile.ZipFile(xlsx) as z:
        return re.findall(r'<sheet name="([^"]+)"', z.read("xl/workbook.xml").decode())


def soffice_convert(xlsx, out, to):
    """Converts the workbook with LibreOffice (headless) into `out` (which also gets its profile); the file written."""
    xlsx, out = Path(xlsx), Path(out)
    out.mkdir(parents=True, exist_ok=True)
    soffice = shutil.which("soffice")
    if not soffice:
        raise AssertionError("LibreOffice (soffice) is needed: scripts/setup-machine installs it")
    subprocess.run([soffice, "--headless", f"-env:UserInstallation=file://{out.resolve()}/lo-profile",
                    "--convert-to", to, "--outdir", str(out), str(xlsx)],
                   check=True, capture_output=True, timeout=240)
    return out / f"{xlsx.stem}.{to.split(':')[0]}"


def sheets_by_libreoffice(xlsx, out):
    """{sheet name: rows}, in the workbook's order; `out` gets the CSV files and a profile."""
    soffice_convert(xlsx, out, CSV_FILTER)
    return {name: read_csv(Path(out) / f"{Path(xlsx).stem}-{name}.csv", "utf-8") for name in sheet_names(xlsx)}

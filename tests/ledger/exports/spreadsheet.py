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

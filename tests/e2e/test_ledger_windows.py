#!/usr/bin/env python3
"""tallyhawk-ledger.exe under Wine as a Windows administrator meets it: every
file option given a path with blanks and Japanese; a console that shows the
Japanese summary while its code page stays as it was; a folder dropped on the
program and a double-click (a console made for the program alone), which keep
the database and the report beside the program whatever folder was current,
print absolute paths, open the report and wait for a key."""

import fcntl
import json
import os
import pty
import re
import select
import sqlite3
import struct
import sys
import termios
import time
import unittest
from pathlib import Path

import jsonschema

import harness

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "ledger" / "exports"))
from test_exports import CATALOGUE, PCS, REGISTER, SCHEMA, record_file  # noqa: E402  (the exports' fixture)

ROOT = r"C:\台帳 テスト"
PROGRAM = ROOT + r"\ツール 置き場"
SAVE = ROOT + r"\SAVE 12月"
ELSEWHERE = ROOT + r"\別の フォルダー"  # the folder Explorer happens to make current
KEY_PROMPT = "何かキーを押すと終了します / Press any key to close"
CONTROL = re.compile(r"\x1b\[([0-9;?]*)([A-Za-z])")  # the console's own escapes: a run of blanks is a cursor move


def on_console(s, *command, cwd, timeout=120):
    """Runs a Windows program on a terminal, where Wine gives it a console
    of its own as Explorer would; answers the key prompt. Returns the exit
    code and the lines the console showed."""
    pid, fd = pty.fork()
    if pid == 0:
        attributes = termios.tcgetattr(0)
        attributes[3] &= ~termios.ECHO  # the key pressed is not shown
        termios.tcsetattr(0, termios.TCSANOW, attributes)
        fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 400, 0, 0))  # wide: no line wraps
        os.chdir(s.unix_path(cwd))
        os.execve(s.loader, [s.loader, *map(str, command)], s.env)
    shown, answered, end = b"", False, time.monotonic() + timeout
    while time.monotonic() < end:
        if not select.select([fd], [], [], 0.2)[0]:
            continue
        try:
            data = os.read(fd, 65536)
        except OSError:  # the program ended
            break
        if not data:
            break
        shown += data
        if b"\x1b[6n" in data:  # the console asks where the cursor is
            os.write(fd, b"\x1b[1;1R")
        if not answered and KEY_PROMPT.encode() in shown:
            os.write(fd, b"x")
            answered = True
    else:
        os.kill(pid, 9)
    _, status = os.waitpid(pid, 0)
    os.close(fd)
    text = CONTROL.sub(lambda m: " " * int(m[1] or 1) if m[2] == "C" else "", shown.decode("utf-8", errors="replace"))
    text = text.replace("\r", "")
    return os.waitstatus_to_exitcode(status), [line for line in text.split("\n") if line]


class LedgerOnWindows(unittest.TestCase):
    def setUp(self):
        self.scenario = harness.Scenario(self.id().rsplit(".", 1)[-1])
        s = self.s = self.scenario.__enter__()
        self.addCleanup(self.scenario.__exit__, None, None, None)
        for folder in (SAVE, ELSEWHERE):
            s.unix_path(ROOT).joinpath(folder[len(ROOT) + 1:]).mkdir(parents=True)
        for number, pc in PCS.items():
            (s.unix_path(SAVE) / f"{number}.csv").write_bytes(record_file(number, pc))
        (s.unix_path(SAVE) / "~$abc-05-0012.csv").write_bytes(b"\x05yamada" + b"\0" * 150)  # Excel has one open
        (s.unix_path(ROOT) / "登録 台帳.csv").write_bytes(REGISTER.encode("cp932"))
        (s.unix_path(ROOT) / "カタログ 一覧.csv").write_bytes(CATALOGUE.encode("cp932"))
        (s.unix_path(ROOT) / "単価 表.csv").write_bytes("区分,単価\r\nESU,\"9,500\"\r\n".encode("cp932"))
        self.exe = s.put(harness.current_config().exe, PROGRAM)

    def test_every_file_option_takes_a_path_with_blanks_and_japanese(self):
        s = self.s
        # Relative paths from the current folder, and absolute ones.
        result = s.wine(self.exe, "--db", "データ 台帳.sqlite", "--catalogue", "カタログ 一覧.csv",
                        "--prices", "単価 表.csv", "--register", ROOT + r"\登録 台帳.csv", "--export", "書き出し 先",
                        "--xlsx", ROOT + r"\ブック 一.xlsx", "--glpi", ROOT + r"\GLPI 出力", "--glpi-tag", "部署",
                        "--report", "報告 書.html", SAVE, cwd=ROOT, timeout=180)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        lines = result.stdout.splitlines()
        for line in (rf"データベース / database: {ROOT}\データ 台帳.sqlite", rf"書き出し / exported: {ROOT}\書き出し 先",
                     rf"書き出し / exported: {ROOT}\ブック 一.xlsx", rf"レポート / report: {ROOT}\報告 書.html",
                     rf"GLPI: 2 台を書き出しました / 2 PCs written: {ROOT}\GLPI 出力",
                     "取り込んだファイル / taken: 2", "取り込めなかったファイル / rejected: 0"):  # the owner file skipped
            self.assertIn(line, lines)
        root = s.unix_path(ROOT)
        for written in ("書き出し 先/pcs.csv", "書き出し 先/inventory.xlsx", "ブック 一.xlsx", "GLPI 出力/abc-05-0012.json",
                        "GLPI 出力/glpi-inventory.zip", "報告 書.html"):
            self.assertTrue((root / written).is_file(), written)
        checker = jsonschema.Draft7Validator(SCHEMA, format_checker=jsonschema.FormatChecker())
        for number in PCS:  # the Windows program's GLPI files as GLPI's schema has them
            checker.validate(json.loads((root / "GLPI 出力" / f"{number}.json").read_text(encoding="utf-8")))
        con = sqlite3.connect(root / "データ 台帳.sqlite")
        self.assertEqual(con.execute("SELECT count(*) FROM register").fetchone()[0], 3)
        self.assertEqual(sorted(r[0] for r in con.execute("SELECT product FROM catalogue_products")),
                         ["7-Zip", "経費精算", "表計算ソフト"])
        self.assertEqual(con.execute("SELECT category, yen FROM win11_prices").fetchall(), [("ESU", 9500)])
        con.close()

    def test_console_shows_japanese_and_keeps_its_code_page(self):
        batch = f'@echo off\r\nchcp\r\n"{self.exe}" --db "{ROOT}\\x.sqlite" --no-report "{SAVE}"\r\necho %ERRORLEVEL%\r\nchcp\r\n'
        (self.s.unix_path(ROOT) / "run.cmd").write_bytes(batch.encode("cp932"))
        status, lines = on_console(self.s, "cmd", "/c", "run.cmd", cwd=ROOT)
        self.assertEqual((status, lines[-2]), (0, "0"), lines)
        pages = [re.search(r"(\d+)$", line)[1] for line in (lines[0], lines[-1])]
        self.assertEqual(pages, ["932", "932"], lines)  # as the console had it, before and after
        for line in ("取り込んだファイル / taken: 2", "PC: 2（新規 / new: 2、更新 / updated: 0）",
                     rf"データベース / database: {ROOT}\x.sqlite"):
            self.assertIn(line, lines)
        self.assertNotIn(KEY_PROMPT, lines)  # the console is cmd's: it stays open
        # The help, longer than the console writer's buffer: no character cut in two.
        piped = self.s.wine(self.exe, "--help", cwd=ROOT).stdout
        status, lines = on_console(self.s, self.exe, "--help", cwd=ROOT)
        self.assertEqual([line.rstrip() for line in lines], [line.rstrip() for line in piped.splitlines() if line] + [KEY_PROMPT])

    def test_a_dropped_folder_and_a_double_click_keep_their_files_beside_the_program(self):
        s = self.s
        s.install_standins({"winebrowser.exe": harness.current_config().tool("browser_standin.exe")})
        calls = s.unix_path(r"C:\windows\temp\standin-calls.log")
        report = PROGRAM + r"\report.html"

        status, lines = on_console(s, self.exe, SAVE, cwd=ELSEWHERE)  # dropped
        self.assertEqual(status, 0, lines)
        for line in (rf"データベース / database: {PROGRAM}\ledger.sqlite", f"レポート / report: {report}", KEY_PROMPT):
            self.assertIn(line, lines)
        self.assertEqual(os.listdir(s.unix_path(ELSEWHERE)), [])
        self.assertEqual(calls.read_text(encoding="utf-8").split("\t")[2], f'"{report}"')  # opened
        calls.unlink()
        s.unix_path(report).unlink()

        status, lines = on_console(s, self.exe, cwd=PROGRAM)  # double-clicked, a database beside it
        self.assertEqual(status, 0, lines)
        self.assertEqual(lines[:7], ["記録ファイルのフォルダー（SAVE）を、このプログラムのアイコンに",
                                     "ドラッグ＆ドロップしてください。データベース（ledger.sqlite）と",
                                     "レポート（report.html）は、このプログラムと同じフォルダーに置きます:",
                                     "Drop the folder of record files (SAVE) onto this program's icon.",
                                     "The database (ledger.sqlite) and the report (report.html) are kept",
                                     "in the program's folder:", PROGRAM])
        self.assertIn("PC: 2（新規 / new: 0、更新 / updated: 0）", lines)  # the database as it was
        self.assertTrue(s.unix_path(report).is_file(), "the report was not written again")
        self.assertEqual(calls.read_text(encoding="utf-8").split("\t")[2], f'"{report}"')

        other = s.put(harness.current_config().exe, ELSEWHERE)  # double-clicked where no database is
        status, lines = on_console(s, other, cwd=ELSEWHERE)
        self.assertEqual(status, 2, lines)
        self.assertEqual(lines[-1], KEY_PROMPT)
        self.assertEqual(sorted(os.listdir(s.unix_path(ELSEWHERE))), ["tallyhawk-ledger.exe"])


if __name__ == "__main__":
    harness.main()

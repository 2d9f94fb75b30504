#!/usr/bin/env python3
"""The run's frame on the real program: a second instance ends at once and
touches nothing; a run whose registry dump never appears ends silently with
one "Main" entry in Error.Log beside the program, even when started from
another folder, and leaves no working file behind."""

import re
import time
import unittest
from pathlib import Path

import harness
import runs

TOOLS = r"C:\ツール 棚"
LAUNCH = r"C:\launch"


def snapshot(root: Path):
    return sorted((str(p.relative_to(root)), p.stat().st_size if p.is_file() else -1)
                  for p in root.rglob("*"))


class RunSpine(unittest.TestCase):
    def test_second_instance_and_missing_dump(self):
        with harness.Scenario("run_spine") as s:
            program = s.put(harness.current_config().exe, TOOLS)
            tools, launch = s.unix_path(TOOLS), s.unix_path(LAUNCH)
            launch.mkdir()
            # A folder where the run's dump must go: no scan can ever write it.
            blocked = runs.provide_dump(s, lambda dump: dump.mkdir())

            first = s.start(program, cwd=launch)
            blocked.join(60)
            time.sleep(1)
            self.assertTrue(first.running())
            before = snapshot(tools), snapshot(launch)

            started = time.monotonic()
            second = s.start(program, cwd=launch)
            # 0 as the single-instance exit gives it; a crash at start would not.
            self.assertEqual(second.wait(10), 0)
            self.assertLess(time.monotonic() - started, 10)
            self.assertEqual((snapshot(tools), snapshot(launch)), before, "the second instance touched files")

            # Nothing is shown during the waits, nor on the error path.
            boxes_seen = []
            deadline = time.monotonic() + 90
            while first.running() and time.monotonic() < deadline:
                boxes_seen += [w for w in s.windows() if w.get("class") == "#32770"]
                time.sleep(1)
            self.assertEqual(first.wait(5), 0)
            self.assertEqual(boxes_seen, [])

            log = (tools / "Error.Log").read_bytes()
            self.assertRegex(log.decode("cp932"),
                             r"\A\d{4}/\d\d/\d\d \d\d:\d\d:\d\d \t[^\t\r\n]+\tMain" + r"\t" * 8 + r"[^\t\r\n]+\r\n\Z")
            self.assertFalse((launch / "Error.Log").exists())
            self.assertTrue((launch / "SAVE").is_dir(), "SAVE is made in the current folder too")
            # The working files never were on the program's folder; in the run's
            # own folder only what could not be deleted is left.
            self.assertEqual(sorted(p.name for p in tools.iterdir()), ["Error.Log", "tallyhawk.exe"])
            folders = runs.run_folders(s)
            self.assertEqual(len(folders), 1, folders)
            self.assertEqual({str(p.relative_to(folders[0])) for p in folders[0].rglob("*")}, {"TH_reg.TxT"},
                             "working files left behind")


if __name__ == "__main__":
    harness.main()

#!/usr/bin/env python3
"""Self-test of the e2e harness, on a demo program instead of the product:
Japanese window titles and texts are found and read, keys reach the program,
its exit code and its CP932 output come back, and stand-ins really run."""

import time
import unittest

import harness

TITLE = "インベントリ収集"
MESSAGE = "データ収集を中止しました。"


class HarnessSelfTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scenario = cls.enterClassContext(harness.Scenario("harness_selftest"))

    def test_message_box_read_answered_and_file_written(self):
        s = self.scenario
        folder = r"C:\作業 フォルダ"
        demo = s.put(harness.current_config().tool("demo_msgbox.exe"), folder)
        process = s.start(demo, "結果.txt")

        box = s.find_window(TITLE)
        self.assertEqual(s.message_box_text(TITLE), MESSAGE)
        self.assertEqual(s.window_texts(TITLE, cls="Button"), ["OK", "キャンセル"])
        s.screenshot("message_box.png")
        s.key("Return", window=box)

        self.assertEqual(process.wait(10), 1, "Return answers IDOK")
        s.wait_window_gone(TITLE, timeout=5)
        written = s.unix_path(folder + r"\結果.txt").read_bytes()
        self.assertEqual(written, f"{MESSAGE}\r\n{folder}\r\n".encode("cp932"),
                         "CP932 text, written in the program's own folder")

    def test_timeout_standin_waits(self):
        started = time.monotonic()
        result = self.scenario.cmd("timeout /T 2 /NOBREAK >nul")
        elapsed = time.monotonic() - started
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertGreaterEqual(elapsed, 2.0)
        self.assertLess(elapsed, 5.0)

    def test_standin_replaces_builtin(self):
        # Wine's builtin powershell accepts anything and exits 0; the stand-in
        # (timeout's, reused) rejects this syntax, so exit 1 proves it ran.
        s = self.scenario
        s.install_standins({"powershell.exe": harness.current_config().tool("timeout_standin.exe")})
        self.assertEqual(s.cmd("powershell /T").returncode, 1)


if __name__ == "__main__":
    harness.main()

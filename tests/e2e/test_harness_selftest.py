#!/usr/bin/env python3
"""Self-test of the e2e harness, on a demo program instead of the product:
Japanese window titles and texts are found and read, keys reach the program,
its exit code and its CP932 output come back, and stand-ins really run; a
winprobe late on a loaded machine is asked again (listing) or waited for."""

import subprocess
import time
import unittest

import harness
from harness.probe import LIST_ATTEMPTS, WindowProbe

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


class LateProbe(WindowProbe):
    """winprobe as Wine runs it on a busy machine: the first `late` starts
    give no answer within their limit."""
    winprobe_exe = "winprobe.exe"

    def __init__(self, late):
        self.late, self.calls = late, []

    def wine(self, program, *args, timeout=60):
        self.calls.append((args, timeout))
        if len(self.calls) <= self.late:
            raise subprocess.TimeoutExpired(program, timeout)
        return subprocess.CompletedProcess(args, 0, stdout='[{"text": "ok"}]', stderr="")


class SlowProbe(unittest.TestCase):
    def test_a_late_listing_is_asked_again_and_a_late_action_never_repeated(self):
        probe = LateProbe(late=LIST_ATTEMPTS - 1)
        self.assertEqual(probe.windows(), [{"text": "ok"}])
        self.assertEqual(probe.calls, [(("list",), 30)] * LIST_ATTEMPTS)
        with self.assertRaisesRegex(AssertionError, "the machine, not the program under test"):
            LateProbe(late=LIST_ATTEMPTS).windows()
        clicked = LateProbe(late=1)
        with self.assertRaises(AssertionError):
            clicked.click({"hwnd": 7})
        self.assertEqual(clicked.calls, [(("click", "7"), 30 * LIST_ATTEMPTS)])


if __name__ == "__main__":
    harness.main()

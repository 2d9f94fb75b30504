#!/usr/bin/env python3
"""The notice shown while the program waits for its registry scan: up at
once with an empty bar, filled near the end of the waits, not topmost, gone
when the entry form appears; a second start brings the running program's
window to the front and ends at once."""

import time
import unittest

import harness
import runs

TOOLS = r"C:\待機 ツール"
TEXT = "準備しています。しばらくお待ちください。"
FORM_CLASS = "TallyhawkForm"


def waiting_notices(s):
    return [w for w in s.windows() if w["text"] == runs.RUN_TITLE and w["class"] == FORM_CLASS]


def bar(notice):
    """The notice's progress bar as a share of its range; None when the
    program did not answer."""
    found = [c for c in notice["children"] if c["class"].lower() == "msctls_progress32"]
    if len(found) != 1:
        raise AssertionError(f"no progress bar in {notice}")
    if found[0]["position"] < 0 or not found[0]["upper"]:
        return None
    return found[0]["position"] / found[0]["upper"]


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = predicate()
        if found:
            return found
        time.sleep(0.3)
    raise AssertionError(f"{what} within {timeout} s")


class WaitingNotice(unittest.TestCase):
    def test_notice_over_the_waits_and_a_second_start(self):
        with harness.Scenario("waiting_notice") as s:
            runs.provide_dump(s, b"\r\n")  # the scan cannot run under Wine
            program, process = runs.start_program(s, TOOLS)

            notice = wait_for(lambda: [n for n in waiting_notices(s) if bar(n) is not None], 20,
                              "no waiting notice")[0]
            first_seen = time.monotonic()
            s.screenshot("waiting-start.png")
            children = {c["class"].lower(): c for c in notice["children"] if c["visible"]}
            self.assertEqual(children["static"]["text"], TEXT)
            self.assertNotIn("button", children, "the notice has no OK button")
            self.assertFalse(notice["topmost"], "the elevation prompt must be able to come in front")
            # Empty while TrustLevel.CMD runs (ten seconds), before the program's own waits.
            self.assertEqual(bar(notice), 0)

            # The bar fills as the 36 s go by; caught near the end, before the notice closes.
            shares = []
            while time.monotonic() < first_seen + 150:
                notices = waiting_notices(s)
                if not notices:
                    break
                share = bar(notices[0])
                if share is None:
                    continue
                shares.append(share)
                if share >= 0.85:
                    s.screenshot("waiting-end.png")
                    break
                time.sleep(0.5)
            self.assertEqual(shares, sorted(shares), "the bar went back")
            self.assertGreaterEqual(shares[-1], 0.85, f"the bar never neared its end: {shares}")

            form = runs.wait_entry_form(s, process, timeout=120)
            self.assertIsNotNone(form, "no entry form")
            self.assertEqual(waiting_notices(s), [], "the waiting notice outlived the waits")

            # Another program takes the user's input; starting ours again
            # must bring the running entry form back to the front.
            s.start(harness.current_config().tool("demo_msgbox.exe"), cwd="C:\\")
            wait_for(lambda: [w for w in s.windows() if w["foreground"] and w["class"] == "#32770"], 20,
                     "the other program never had the foreground")
            started = time.monotonic()
            second = s.start(program)
            self.assertEqual(second.wait(20), 0)
            self.assertLess(time.monotonic() - started, 20)
            front = wait_for(lambda: [w for w in s.windows() if w["foreground"]], 10, "no foreground window")[0]
            self.assertEqual(front["text"], runs.FORM, "the second start left the entry form behind")
            self.assertEqual(front["pid"], s.window(runs.FORM)["pid"])
            s.screenshot("second-start.png")
            self.assertTrue(process.running())


if __name__ == "__main__":
    harness.main()

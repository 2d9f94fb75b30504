#!/usr/bin/env python3
"""The asset-information entry form of the real program, typed into as a user
would: key filters, zero padding on leaving a box, validation messages, the
confirmation state, Cancel and OK; then the run goes on under the entered
number. 中止 or closing the window ends the run with its message."""

import unittest

import harness
import runs
from runs import CHECK, FORM, RUN_TITLE

TOOLS = r"C:\棚卸 ツール"

# Control ids of the form's window, in the order the form declares them.
BOX0, BOX1, BOX2, SEI, MEI = 1003, 1005, 1007, 1009, 1011
VERSION, ENTRY, END, MSG, OK, CANCEL = 1001, 1012, 1013, 1014, 1015, 1016


def start_run(s):
    """Starts the program with a registry dump already in place (the scan
    cannot run under Wine) and waits for the entry form."""
    program = s.put(harness.current_config().exe, TOOLS)
    runs.provide_dump(s, b"\r\n")
    process = s.start(program)
    form = s.find_window(FORM, timeout=120)
    return process, form


def controls(s):
    window = s.window(FORM)
    return {c["id"]: c for c in window["children"]}, window


def texts(s, *ids):
    found, _ = controls(s)
    return [found[i]["text"] for i in ids]


def visible(s, *ids):
    found, _ = controls(s)
    return [found[i]["visible"] for i in ids]


def check_message(test, s, expected):
    test.assertEqual(s.message_box_text(CHECK), expected)
    box = s.window(CHECK)
    test.assertEqual([c["text"] for c in box["children"] if c["class"].lower() == "button"], ["OK"])
    return box


def dismiss(s, title):
    s.key("Return", window=s.find_window(title))
    s.wait_window_gone(title)


class EntryForm(unittest.TestCase):
    def test_typing_checks_confirmation_and_the_run_going_on(self):
        with harness.Scenario("entry_form_ok") as s:
            process, form = start_run(s)
            self.assertEqual(texts(s, VERSION), ["Version: 1.0.0"])
            self.assertEqual(visible(s, ENTRY, END, MSG, OK, CANCEL), [True, True, False, False, False])

            # Filters: letters turn lower-case in part 1, digits only in part 2,
            # one leading letter in part 3; padding when the focus leaves a box.
            s.type_text("AB1-c", window=form)
            self.assertEqual(texts(s, BOX0), ["abc"])
            s.key("Return")
            s.type_text("x7")
            self.assertEqual(texts(s, BOX1), ["7"])
            s.key("Return")
            self.assertEqual(texts(s, BOX1), ["07"])
            s.type_text("ab5")
            self.assertEqual(texts(s, BOX2), ["a5"])
            s.key("Tab")
            self.assertEqual(texts(s, BOX2), ["a005"])

            # Surname missing: Enter moves on field by field, then presses 登録.
            s.key("Return", "Return", "Return")
            check_message(self, s, "姓を入力してください。")
            s.screenshot("validation_message.png")
            dismiss(s, CHECK)
            s.type_text("山田", window=form)  # the focus went back to the surname
            self.assertEqual(texts(s, SEI), ["山田"])

            # Part 1 with two letters; the focus goes back to it, text selected.
            s.key("Up", "Up", "Up")
            s.type_text("ab")
            s.key("Return", "Return", "Return", "Return", "Return", "Return")
            check_message(self, s, "英小文字３桁で入力してください。")
            dismiss(s, CHECK)
            s.type_text("xyz", window=form)
            self.assertEqual(texts(s, BOX0), ["xyz"])

            s.key("Return", "Return", "Return", "Return", "Return", "Return")
            check_message(self, s, "名を入力してください。")
            dismiss(s, CHECK)
            s.type_text("太郎", window=form)
            self.assertEqual(texts(s, MEI), ["太郎"])
            s.screenshot("entry_form_editing.png")
            _, editing = controls(s)

            # Confirmation: fields locked, OK and Cancel, the form taller.
            s.key("Return", "Return")
            self.assertEqual(visible(s, ENTRY, END, MSG, OK, CANCEL), [False, False, True, True, True])
            _, confirming = controls(s)
            grown = (confirming["rect"][3] - confirming["rect"][1]) - (editing["rect"][3] - editing["rect"][1])
            self.assertEqual(grown, round((5040 - 4485) / 15))
            s.screenshot("entry_form_confirmation.png")

            # Cancel: back to editing, texts kept and editable again.
            s.key("Tab", "Return")
            self.assertEqual(visible(s, ENTRY, END, MSG, OK, CANCEL), [True, True, False, False, False])
            self.assertEqual(texts(s, BOX0, BOX1, BOX2, SEI, MEI), ["xyz", "07", "a005", "山田", "太郎"])
            s.type_text("Abc", window=form)
            self.assertEqual(texts(s, BOX0), ["abc"])

            # 登録 again and OK: the run goes on.
            s.key("Return", "Return", "Return", "Return", "Return", "Return")
            self.assertEqual(visible(s, OK), [True])
            s.key("Return")
            s.wait_window_gone(FORM)

            def start_notice(w):
                self.assertIn("データ収集中です。", [c["text"] for c in w["children"]])
                s.screenshot("notice_collecting.png")

            # Explorer's window comes a moment after the final notice: the
            # notice is dismissed once Explorer has come and been closed.
            ending = runs.wait_final_notice(s, process, timeout=180, on_start_notice=start_notice)
            self.assertIsNotNone(ending.final, "no final notice")
            self.assertEqual(ending.message, runs.SUCCESS)
            s.screenshot("notice_final.png")
            runs.dismiss_final_notice(s)
            self.assertEqual(process.wait(60), 0)

            # Every record written after the form carries the number as its Key:
            # in the delivered file, and in each Error.Log entry (which prints
            # the current record).
            tools = s.unix_path(TOOLS)
            keyed = []
            # The success notice promised it: the file under the entered number.
            destination = tools / "SAVE" / "abc-07-a005.csv"
            self.assertTrue(destination.is_file(), "no CSV under the entered number")
            lines = destination.read_bytes().decode("cp932").split("\r\n")
            self.assertEqual(lines[0], "Key,Group,Item,SubItem,Contents,Unit,Renewalday")
            records = [l for l in lines[1:] if l]
            self.assertTrue(all(l.startswith("abc-07-a005,") for l in records), records)
            self.assertIn("abc-07-a005,資産,管理情報,姓,山田,,", "\n".join(records))
            keyed += records
            log = tools / "Error.Log"
            if log.exists():
                entries = log.read_bytes().decode("cp932").splitlines()
                keyed += [e for e in entries if e.split("\t")[3:4] == ["abc-07-a005"]]
                others = [e for e in entries if e.split("\t")[3:4] not in (["abc-07-a005"], [""])]
                self.assertEqual(others, [], "an entry with another Key")
            self.assertNotEqual(keyed, [], "no record or log entry after the form")

    def test_abandoning_ends_the_run(self):
        for how in ("中止", "alt+F4"):
            with self.subTest(how=how), harness.Scenario("entry_form_" + ("end" if how == "中止" else "close")) as s:
                process, form = start_run(s)
                s.type_text("abc", window=form)
                if how == "中止":
                    s.key("Return", "Return", "Return", "Return", "Return", "Tab", "Return")
                else:
                    s.key("alt+F4")
                self.assertEqual(s.message_box_text(RUN_TITLE, timeout=30), "データ収集を中止しました。")
                dismiss(s, RUN_TITLE)
                self.assertEqual(process.wait(60), 0)
                # No CSV, and no working file: the batch files and the dump are
                # deleted, and so is the record file GetKey made after the form
                # closed (it already holds the machine's network addresses).
                save = s.unix_path(TOOLS) / "SAVE"
                self.assertEqual(list(save.iterdir()), [])
                self.assertEqual(runs.working_record_files(s), [])
                self.assertEqual(runs.run_folders(s), [])


if __name__ == "__main__":
    harness.main()

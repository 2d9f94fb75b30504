#!/usr/bin/env python3
"""One whole run of the real program on a virtual display, answered as a
user would: the entry form is typed into (a sample management number and
name), confirmed, the notices are watched and the final one dismissed.
Prints the CSV the run produced and where its screenshots are.

    scripts/run            (without DISPLAY)
    python3 tests/e2e/run_headless.py --exe ... --build ... --tools ...
"""

import sys
import time

import harness

FOLDER = r"C:\tallyhawk"
FORM = "資産情報を入力してください。"
NUMBER, SURNAME, GIVEN = ("abc", "05", "12"), "山田", "太郎"


def main():
    harness.parse_args(sys.argv[1:])
    config = harness.current_config()
    with harness.Scenario("scripts_run", keep=False) as s:
        program = s.put(config.exe, FOLDER)
        print(f"run: {program} started; the entry form comes after the program's 36 s wait", flush=True)
        process = s.start(program)
        form = None
        deadline = time.monotonic() + 180
        while form is None and process.running() and time.monotonic() < deadline:
            if s.visible_windows(FORM):
                form = s.find_window(FORM)
            time.sleep(0.5)
        if form is None:
            print("run: the program ended before its entry form")
            show_results(s)
            return 1
        s.screenshot("1-entry-form.png")
        s.type_text(NUMBER[0], window=form)
        for text in (NUMBER[1], NUMBER[2], SURNAME, GIVEN):
            s.key("Return")
            s.type_text(text)
        s.screenshot("2-entry-filled.png")
        s.key("Return", "Return")  # to 登録, and press it
        s.screenshot("3-confirmation.png")
        s.key("Return")  # OK
        s.wait_window_gone(FORM)

        final = None
        deadline = time.monotonic() + 300
        shot_notice = False
        while final is None and time.monotonic() < deadline and process.running():
            for w in s.windows():
                if w["text"] == "インベントリ収集" and not shot_notice:
                    s.screenshot("4-collecting.png")
                    shot_notice = True
                if w["text"] == "SAVE" and w["class"] != "#32770":
                    s.close_window(w)  # Explorer showing the output folder
                if w["text"] == "データ保存":
                    final = w
            time.sleep(0.2)
        if final is not None:
            message = [c["text"] for c in final["children"] if c["class"].lower() == "static"]
            print("run: final notice:", " ".join(message))
            close_explorer(s, wait=10 if "正常" in " ".join(message) else 0)
            s.screenshot("5-final-notice.png")
            s.key("Return", window=s.find_window("データ保存"))
            s.wait_window_gone("データ保存")
        process.wait(60)

        return 0 if show_results(s) else 1


def close_explorer(s, wait):
    """Closes the Explorer window the run opened on its output folder; it
    may take a few seconds to appear and would take the focus."""
    deadline = time.monotonic() + wait
    while True:
        windows = [w for w in s.windows() if w["text"] == "SAVE" and w["class"] != "#32770"]
        for w in windows:
            s.close_window(w)
        if windows or time.monotonic() >= deadline:
            return
        time.sleep(0.2)


def show_results(s):
    """Prints the CSV files and Error.Log the run left; true when a CSV exists."""
    save = s.unix_path(FOLDER) / "SAVE"
    csvs = sorted(save.glob("*.csv"))
    for csv in csvs:
        print(f"\n== {s.win_path(csv)} (code page 932, shown as UTF-8)\n")
        sys.stdout.write(csv.read_bytes().decode("cp932").replace("\r\n", "\n"))
    log = s.unix_path(FOLDER) / "Error.Log"
    if log.exists():
        print(f"\n== {s.win_path(log)}\n")
        sys.stdout.write(log.read_bytes().decode("cp932").replace("\r\n", "\n"))
    print(f"\nrun: screenshots in {s.artifacts}")
    return bool(csvs)


if __name__ == "__main__":
    sys.exit(main())

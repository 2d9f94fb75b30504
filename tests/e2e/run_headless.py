#!/usr/bin/env python3
"""One whole run of the real program on a virtual display, answered as a
user would: the entry form is typed into (a sample management number and
name), confirmed, the notices are watched and the final one dismissed.
Prints the CSV the run produced and where its screenshots are.

    scripts/run            (without DISPLAY)
    python3 tests/e2e/run_headless.py --exe ... --build ... --tools ...
"""

import sys

import harness
import runs

FOLDER = r"C:\tallyhawk"


def main():
    harness.parse_args(sys.argv[1:])
    with harness.Scenario("scripts_run", keep=False) as s:
        program, process = runs.start_program(s, FOLDER)
        print(f"run: {program} started; the entry form comes after the program's 36 s wait", flush=True)
        form = runs.wait_entry_form(s, process)
        if form is None:
            print("run: the program ended before its entry form")
            show_results(s)
            return 1
        s.screenshot("1-entry-form.png")
        runs.fill_entry_form(s, form, screenshots=True)

        ending = runs.wait_final_notice(s, process, on_start_notice=lambda _: s.screenshot("4-collecting.png"))
        if ending.final is not None:
            s.screenshot("5-final-notice.png")
            print("run: final notice:", ending.message)
            runs.dismiss_final_notice(s)
        process.wait(60)

        return 0 if show_results(s) else 1


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

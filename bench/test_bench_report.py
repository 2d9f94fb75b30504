"""Tests of the figures scripts/bench reports."""

import unittest

import bench_report as r
import run_bench

OBJDUMP = """
The Import Tables (interpreted .idata section contents)
 vma:            Hint    Time      Forward  DLL       First
\tDLL Name: ADVAPI32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t2c1f4\t  643  RegCloseKey
\tDLL Name: KERNEL32.dll
\tDLL Name: libstdc++-6.dll
\tDLL Name: msvcrt.dll
"""


class Imports(unittest.TestCase):
    def test_lists_every_dll_and_flags_the_ones_windows_lacks(self):
        names = r.imported_dlls(OBJDUMP)
        self.assertEqual(names, ["ADVAPI32.dll", "KERNEL32.dll", "libstdc++-6.dll", "msvcrt.dll"])
        self.assertEqual(r.foreign_dlls(names), ["libstdc++-6.dll"])
        self.assertEqual(r.foreign_dlls(["libwinpthread-1.dll", "USER32.DLL"]), ["libwinpthread-1.dll"])


def run(name, entries, cpu_ms, real_ms, run_type="aggregate", aggregate="median"):
    return {"name": name, "run_type": run_type, "aggregate_name": aggregate, "entries": entries,
            "cpu_time": cpu_ms, "real_time": real_ms, "time_unit": "ms"}


class SoftCheckFigures(unittest.TestCase):
    def test_per_entry_time_from_medians_only(self):
        data = {"benchmarks": [
            run("SoftCheck/1000_mean", 1000, 99.0, 99.0, aggregate="mean"),
            run("SoftCheck/1000_median", 1000, 7.0, 8.0),
            run("SoftCheck/1000_stddev", 1000, 0.1, 0.1, aggregate="stddev"),
            run("SoftCheck/100000_median", 100000, 770.0, 900.0),
        ]}
        per = r.softcheck_per_entry(data)
        self.assertAlmostEqual(per[1000]["cpu"], 7e-6)
        self.assertAlmostEqual(per[1000]["real"], 8e-6)
        self.assertAlmostEqual(per[100000]["cpu"], 7.7e-6)
        self.assertAlmostEqual(r.growth_ratio(per), 1.1)
        self.assertAlmostEqual(r.growth_ratio(per, "real"), 1.125)

    def test_plain_runs_are_taken_and_a_failed_run_is_an_error(self):
        data = {"benchmarks": [run("SoftCheck/1000", 1000, 5.0, 5.0, run_type="iteration")]}
        self.assertAlmostEqual(r.softcheck_per_entry(data)[1000]["cpu"], 5e-6)
        self.assertIsNone(r.growth_ratio(r.softcheck_per_entry(data)))
        failed = dict(run("SoftCheck/1000", 1000, 1.0, 1.0, run_type="iteration"),
                      error_occurred=True, error_message="SoftCheck left the dump behind")
        with self.assertRaisesRegex(ValueError, "left the dump behind"):
            r.softcheck_per_entry({"benchmarks": [failed]})


class Watch(unittest.TestCase):
    def test_spans_first_sighting_to_last_write_of_the_first_file(self):
        w = r.RecordFileWatch()
        w.observe(1_000, [])
        self.assertIsNone(w.seconds)
        # Seen late: its own timestamp is earlier than the poll.
        w.observe(5_000_000, [("WKP1A.tmp", 3_000_000)])
        w.observe(10_000_000, [("WKP1A.tmp", 9_000_000), ("WKP2B.tmp", 9_500_000)])
        w.observe(20_000_000, [("WKP1A.tmp", 18_000_000), ("WKP2B.tmp", 19_900_000)])
        w.observe(30_000_000, [("WKP1A.tmp", 18_000_000)])
        w.observe(40_000_000, [])  # deleted at the end of the run
        self.assertEqual(w.name, "WKP1A.tmp")
        self.assertEqual((w.start_ns, w.end_ns), (3_000_000, 18_000_000))
        self.assertAlmostEqual(w.seconds, 0.015)

    def test_seen_at_once_starts_at_the_poll(self):
        w = r.RecordFileWatch()
        w.observe(7_000, [("WKP9.tmp", 9_000)])  # timestamps coarser than the poll clock
        self.assertEqual(w.start_ns, 7_000)

    def test_record_file_names(self):
        self.assertTrue(r.is_record_file("WKP3F2.tmp"))
        self.assertTrue(r.is_record_file("wkpA.TMP"))
        self.assertFalse(r.is_record_file("WKB3F2.tmp"))
        self.assertFalse(r.is_record_file("WKP3F2.tmp.bak"))


class Mappings(unittest.TestCase):
    def test_growth_over_the_baseline_accounts_for_the_whole_difference(self):
        program = {"[anonymous]": 6000, "comctl32.dll": 1000, "ipag.ttf": 1800, "(other mappings)": 9000,
                   "(total)": 17800}
        baseline = {"[anonymous]": 4000, "ipag.ttf": 800, "msvcrt.dll": 500, "(other mappings)": 5000,
                    "(total)": 10300}
        growth = r.mapping_growth(program, baseline, top=2)  # comctl32 and the font tie at +1000
        self.assertEqual(list(growth), ["[anonymous]", "comctl32.dll", "(everything else)"])
        self.assertEqual(growth["[anonymous]"], 2000)
        self.assertEqual(sum(growth.values()), 7500)


class Table(unittest.TestCase):
    RESULTS = {
        "waiting": {"cpu_share": 0.004, "cpu_s": 0.22, "wall_s": 55.0, "peak_kib": 38000,
                    "baseline_peak_kib": 20000},
        "collecting": {"ratio": 1.3, "program_ms": 65.0, "floor_ms": 50.0},
        "software": {"per_entry": {1000: {"cpu": 7e-6}, 100000: {"cpu": 7.1e-6}}, "growth": 7.1 / 7,
                     "peak_kib": {1000: 3300, 100000: 3180}},
        "footprint": {"exe_bytes": 559616, "stripped": True, "imports": ["KERNEL32.dll"], "foreign": []},
    }

    def test_each_goal_is_judged_by_its_own_limit(self):
        rows = r.rows_for(self.RESULTS)
        verdicts = {(row.area, row.goal.split()[0]): row.passed for row in rows}
        self.assertEqual(verdicts[("waiting", "CPU")], True)
        self.assertEqual(verdicts[("collecting", "GetKey..SaveInputData")], False)
        self.assertEqual(verdicts[("software", "per-entry")], True)
        self.assertEqual(verdicts[("software", "peak")], True)
        self.assertEqual(verdicts[("footprint", "tallyhawk.exe")], True)
        self.assertEqual(verdicts[("footprint", "imports:")], True)
        self.assertEqual(verdicts[("footprint", "peak")], False)  # 18,000 KiB above the trivial program
        ok = dict(self.RESULTS, waiting=dict(self.RESULTS["waiting"], peak_kib=36000))
        self.assertTrue([row for row in r.rows_for(ok) if row.goal.startswith("peak working")][0].passed)
        text = r.format_table(rows)
        self.assertIn("0.40% (0.22 s CPU over 55.0 s)", text)
        self.assertIn("1.30 x (65 ms vs floor 50 ms)", text)
        self.assertIn("MISSED", text)

    def test_an_unstripped_exe_or_a_foreign_dll_fails(self):
        results = dict(self.RESULTS, footprint={"exe_bytes": 1000, "stripped": False,
                                                 "imports": ["libgcc_s_seh-1.dll"],
                                                 "foreign": ["libgcc_s_seh-1.dll"]})
        rows = {row.goal: row for row in r.rows_for(results)}
        self.assertFalse(rows["tallyhawk.exe <= 1.5 MiB (stripped, static)"].passed)
        self.assertFalse(rows["imports: Windows system DLLs only"].passed)
        self.assertIn("libgcc_s_seh-1.dll", rows["imports: Windows system DLLs only"].measured)

    def test_missing_figures_are_shown_and_judged_by_nothing(self):
        rows = r.rows_for({})
        self.assertTrue(all(row.passed is None for row in rows))
        self.assertTrue(all(row.measured == "not measured" for row in rows))
        lines = r.format_table(rows).splitlines()
        self.assertEqual(len({len(line) for line in lines}), 1, "columns line up")


class WineSummary(unittest.TestCase):
    @staticmethod
    def raw(processor_queried=False):
        def run(cpu, wall, collect, peak):
            return {"cpu_s": cpu, "wall_s": wall, "collect_ms": collect, "peak_kib": peak, "records": 39,
                    "process_image": "C:\\tallyhawk\\tallyhawk.exe",
                    "resident_by_mapping": {"[anonymous]": peak, "(total)": peak}}

        def floor(total, connect):
            return {"total_ms": total, "connect_ms": connect, "processor_queried": processor_queried,
                    "wmi_peak_growth_kib": 11000}
        return {
            "trivial": {"peak_kib": 20000, "resident_by_mapping": {"[anonymous]": 20000, "(total)": 20000}},
            "program": [run(0.2, 50.0, 30.0, 38000), run(0.1, 50.0, 20.0, 37000), run(0.5, 50.0, 25.0, 39000)],
            "floor": [floor(40.0, 25.0), floor(45.0, 25.0), floor(60.0, 30.0)],
            "parts": [{"record_ms": 0.1, "notice_ms": 10.0, "connect_again_ms": 0.3, "platform_ms": 0.4,
                       "platform_records": 19},
                      {"record_ms": 0.3, "notice_ms": 14.0, "connect_again_ms": 0.5, "platform_ms": 0.6,
                       "platform_records": 19}],
        }

    def test_medians_and_the_floor_without_its_first_connection(self):
        waiting, collecting = run_bench.summarise_wine(self.raw())
        self.assertAlmostEqual(waiting["cpu_share"], 0.004)
        self.assertAlmostEqual(waiting["max_cpu_share"], 0.01)
        self.assertEqual(waiting["peak_kib"], 38000)
        self.assertEqual(waiting["resident_growth_kib"]["[anonymous]"], 18000)
        self.assertEqual(collecting["program_ms"], 25.0)
        self.assertEqual(collecting["floor_runs_ms"], [15.0, 20.0, 30.0])
        self.assertAlmostEqual(collecting["ratio"], 25.0 / 20.0)
        rest = collecting["rest"]
        self.assertAlmostEqual(rest["total_ms"], 5.0)
        self.assertAlmostEqual(rest["record_writes_ms"], 39 * 0.2)
        self.assertEqual(rest["extra_connections"], 10)
        self.assertAlmostEqual(rest["platform_share"], 0.5 / 25.0)

    def test_a_processor_query_means_one_more_connection(self):
        _, collecting = run_bench.summarise_wine(self.raw(processor_queried=True))
        self.assertEqual(collecting["rest"]["extra_connections"], 11)
        self.assertAlmostEqual(collecting["rest"]["extra_connections_ms"], 11 * 0.4)


if __name__ == "__main__":
    unittest.main()

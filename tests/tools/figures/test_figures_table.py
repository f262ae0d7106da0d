"""The closing table of ./vx bench: verdicts at the goals' edges, and rows that must show
"missing" (never a value) when a benchmark's line is absent, malformed or names another floor."""
import importlib.util
import pathlib
import subprocess
import sys
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[3] / "tools" / "figures-table.py"
spec = importlib.util.spec_from_file_location("figures_table", SCRIPT)
figures_table = importlib.util.module_from_spec(spec)
spec.loader.exec_module(figures_table)


def row_of(table, label):
    rows = [line for line in table.splitlines() if line.startswith(label)]
    assert len(rows) == 1, f"{label!r} appears {len(rows)} times in:\n{table}"
    return rows[0]


def verdict(lines, label):
    table = figures_table.render(figures_table.read_figures(lines))
    return row_of(table, label).split("  ")[-1].strip()


class Verdicts(unittest.TestCase):
    def test_each_goal_kind_at_its_edge(self):
        cases = [
            ("figure startup_ms 130 minimal_startup_ms 100", "start-up to the message loop", "met"),
            ("figure startup_ms 131 minimal_startup_ms 100", "start-up to the message loop", "NOT met"),
            ("figure ready_ms 150 minimal_startup_ms 100", "ready: start-up work done", "met"),
            ("figure ready_ms 151 minimal_startup_ms 100", "ready: start-up work done", "NOT met"),
            ("figure settled_working_set_KiB 1500 minimal_settled_working_set_KiB 1000", "working set 5 s", "met"),
            ("figure settled_working_set_KiB 1501 minimal_settled_working_set_KiB 1000", "working set 5 s",
             "NOT met"),
            ("figure settled_private_KiB 2500 minimal_settled_private_KiB 1000", "private bytes 5 s", "met"),
            ("figure settled_private_KiB 2501 minimal_settled_private_KiB 1000", "private bytes 5 s", "NOT met"),
            ("figure idle_cpu_percent 0.0999 minimal_idle_cpu_percent 0", "idle CPU", "met"),
            ("figure idle_cpu_percent 0.1 minimal_idle_cpu_percent 0", "idle CPU", "NOT met"),
            ("figure favorites_program_handles 105 before 100", "200 favourites: program handles", "met"),
            ("figure favorites_program_handles 106 before 100", "200 favourites: program handles", "NOT met"),
            ("figure popup_process_private_KiB 1100 before 1000", "100 reminder batches: pop-up private", "met"),
            ("figure popup_process_private_KiB 1101 before 1000", "100 reminder batches: pop-up private", "NOT met"),
            ("figure amf3_reference_rich_MBps 100 baseline_copy_MBps 5000", "AMF3", "met"),
            ("figure amf3_reference_rich_MBps 99.9 baseline_copy_MBps 5000", "AMF3", "NOT met"),
        ]
        for line, label, expected in cases:
            with self.subTest(line=line):
                self.assertEqual(verdict([line], label), expected)

    def test_every_row_is_listed_and_counted(self):
        table = figures_table.render({})
        for row in figures_table.ROWS:
            self.assertIn("missing", row_of(table, row.label))
        self.assertTrue(table.endswith(f"0 of {len(figures_table.ROWS)} goals met, 0 not met, "
                                       f"{len(figures_table.ROWS)} missing"))


class HostileInput(unittest.TestCase):
    def assert_missing(self, lines, label, reason=""):
        row = next(r for r in figures_table.ROWS if r.label.startswith(label))
        cells, verdict = figures_table.table_row(row, figures_table.read_figures(lines).get(row.key))
        self.assertTrue(verdict.startswith(f"missing{reason}"), verdict)
        self.assertEqual(cells[1:4], ["missing", "", ""], "a value, floor or ratio shown for a missing figure")

    def test_absent_or_malformed_lines_are_missing(self):
        label = "start-up to the message loop"
        for line in ["", "figure startup_ms", "figure startup_ms 12 minimal_startup_ms", "figure startup_ms x 1 y",
                     "figure startup_ms nan minimal_startup_ms 1", "figure startup_ms 1 minimal_startup_ms inf",
                     "figure startup_ms 1 minimal_startup_ms 2 extra", "figures startup_ms 1 minimal_startup_ms 2",
                     "  startup_ms 1 minimal_startup_ms 2", "\x00\xff figure \u00e9"]:
            with self.subTest(line=line):
                self.assert_missing([line], label)

    def test_another_floor_or_a_stated_reason_is_missing(self):
        # the settled figures are held against the minimal program settled, not at its loop
        self.assert_missing(["figure settled_private_KiB 9000 minimal_working_set_KiB 4000"],
                            "private bytes 5 s after start", ": floor is minimal_working_set_KiB")
        self.assert_missing(["figure startup_ms 120 minimal_working_set_KiB 100"], "start-up to the message loop",
                            ": floor is minimal_working_set_KiB")
        self.assert_missing(["nofigure favorites_program_gdi_objects not reported by this system"],
                            "200 favourites: program GDI objects", ": not reported by this system")

    def test_a_zero_floor_cannot_meet_a_ratio(self):
        self.assertTrue(verdict(["figure favorite_round_trip_ms 40 favorite_steps_sum_ms 0"], "favourite round")
                        .startswith("missing"))

    def test_a_later_line_replaces_an_earlier_one(self):
        lines = ["figure startup_ms 120 minimal_startup_ms 100", "nofigure startup_ms the bench stopped"]
        self.assert_missing(lines, "start-up to the message loop", ": the bench stopped")


class Script(unittest.TestCase):
    def test_reads_files_and_standard_input(self):
        prose = "start-up to loop 120 ms\nfigure startup_ms 120 minimal_startup_ms 100\n"
        by_stdin = subprocess.run([sys.executable, SCRIPT], input=prose, capture_output=True, text=True, check=True)
        self.assertIn("1.20x", row_of(by_stdin.stdout, "start-up to the message loop"))
        by_file = subprocess.run([sys.executable, SCRIPT, "/dev/stdin"], input=prose, capture_output=True, text=True,
                                 check=True)
        self.assertEqual(by_file.stdout, by_stdin.stdout)


if __name__ == "__main__":
    unittest.main()

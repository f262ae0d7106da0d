#!/usr/bin/env python3
"""Prints the one table of figures that closes `./vx bench`.

The benchmarks print, besides their prose, one machine-readable line per figure:

    figure <key> <value> <floor-key> <floor-value>
    nofigure <key> <reason...>

where the floor is what the figure is held against, measured in the same run (a minimal
program, the steps alone, the count before, a copy of the same bytes). "nofigure" says why a
figure could not be measured. This script reads those lines (any other line is prose and is
skipped) and prints every row below with its figure, floor, ratio, goal and verdict. A row
whose line is absent, malformed or names another floor is shown as missing: never a value.

Usage: figures-table.py [FILE...]   (standard input when no file is given)
"""
import math
import sys
from dataclasses import dataclass
from typing import Callable, Optional


@dataclass(frozen=True)
class Goal:
    text: str
    met: Callable[[float, float], Optional[bool]]  # (value, floor) -> met, None when undecidable


def ratio_at_most(limit, floor_name="floor"):
    return Goal(f"<= {limit:g}x {floor_name}", lambda value, floor: value / floor <= limit if floor > 0 else None)


def below(limit, unit):
    return Goal(f"< {limit:g} {unit}", lambda value, floor: value < limit)


def at_least(limit, unit):
    return Goal(f">= {limit:g} {unit}", lambda value, floor: value >= limit)


def growth_at_most(count):  # a count held against itself before: value is after, floor is before
    return Goal(f"after <= before + {count}", lambda value, floor: value - floor <= count)


@dataclass(frozen=True)
class Row:
    label: str
    key: str
    floor_key: str
    unit: str
    goal: Goal


FLAT_HANDLES = 5  # a handle kept per favourite or per batch shows as +100 or more
FLAT_GDI = 5
FLAT_PRIVATE = 1.10  # private bytes may grow by 10 % (heap and SQLite caches settling)

ROWS = [
    Row("start-up to the message loop", "startup_ms", "minimal_startup_ms", "ms", ratio_at_most(1.3)),
    Row("working set after start-up", "startup_working_set_KiB", "minimal_working_set_KiB", "KiB",
        ratio_at_most(1.5)),
    Row("ready: start-up work done", "ready_ms", "minimal_startup_ms", "ms", ratio_at_most(1.5)),
    Row("working set 5 s after start", "settled_working_set_KiB", "minimal_settled_working_set_KiB", "KiB",
        ratio_at_most(1.5)),
    Row("private bytes 5 s after start", "settled_private_KiB", "minimal_settled_private_KiB", "KiB",
        ratio_at_most(2.5)),
    Row("exit with a service that never answers", "exit_dead_service_ms", "exit_live_service_ms", "ms",
        below(2000, "ms")),
    Row("idle CPU, tray + push window", "idle_cpu_percent", "minimal_idle_cpu_percent", "% core",
        below(0.1, "% core")),
    Row("favourite round trip vs its steps", "favorite_round_trip_ms", "favorite_steps_sum_ms", "ms",
        ratio_at_most(1.5)),
    Row("200 favourites: program handles", "favorites_program_handles", "before", "",
        growth_at_most(FLAT_HANDLES)),
    Row("200 favourites: program GDI objects", "favorites_program_gdi_objects", "before", "",
        growth_at_most(FLAT_GDI)),
    Row("200 favourites: program private bytes", "favorites_program_private_KiB", "before", "KiB",
        ratio_at_most(FLAT_PRIVATE, "before")),
    Row("100 reminder batches: pop-up handles", "popup_process_handles", "before", "",
        growth_at_most(FLAT_HANDLES)),
    Row("100 reminder batches: pop-up GDI objects", "popup_process_gdi_objects", "before", "",
        growth_at_most(FLAT_GDI)),
    Row("100 reminder batches: pop-up private bytes", "popup_process_private_KiB", "before", "KiB",
        ratio_at_most(FLAT_PRIVATE, "before")),
    Row("pop-up redraw after a hover, 100 %", "popup_redraw_hover_ms", "plain_layered_update_ms", "ms",
        ratio_at_most(3, "one update")),
    Row("pop-up redraw after a page turn, 100 %", "popup_redraw_page_turn_ms", "plain_layered_update_ms", "ms",
        ratio_at_most(3, "one update")),
    Row("pop-up redraw after a hover, 150 %", "popup_redraw_hover_ms_144dpi", "plain_layered_update_ms", "ms",
        ratio_at_most(3, "one update")),
    Row("pop-up redraw after a page turn, 150 %", "popup_redraw_page_turn_ms_144dpi", "plain_layered_update_ms", "ms",
        ratio_at_most(3, "one update")),
    Row("AMF3 reference-rich decode (native)", "amf3_reference_rich_MBps", "baseline_copy_MBps", "MB/s",
        at_least(100, "MB/s")),
]


@dataclass(frozen=True)
class Figure:
    value: float
    floor_key: str
    floor: float


def number(text):
    value = float(text)
    if not math.isfinite(value):
        raise ValueError(text)
    return value


def read_figures(lines):
    """key -> Figure, or key -> str (why it is missing). A later line for a key replaces an earlier one."""
    figures = {}
    for line in lines:
        words = line.split()
        if len(words) >= 2 and words[0] == "nofigure":
            figures[words[1]] = " ".join(words[2:]) or "not measured"
        elif words[:1] == ["figure"] and len(words) >= 2:
            try:
                if len(words) != 5:
                    raise ValueError(line)
                figures[words[1]] = Figure(number(words[2]), words[3], number(words[4]))
            except ValueError:
                figures[words[1]] = "malformed figure line"
    return figures


def show(value, unit=""):
    magnitude = abs(value)
    if magnitude >= 100 or value == int(value):
        text = f"{value:.0f}"
    elif magnitude >= 10:
        text = f"{value:.1f}"
    elif magnitude >= 1:
        text = f"{value:.2f}"
    else:
        text = f"{value:.3g}"
    return f"{text} {unit}".rstrip()


def table_row(row, found):
    """(cells, verdict) for one row; verdict is "met", "NOT met" or "missing", the last with its
    reason when the benchmark gave one."""
    reason = None
    if isinstance(found, str):
        reason = found
    elif found is not None and found.floor_key != row.floor_key:
        reason = f"floor is {found.floor_key}, not {row.floor_key}"
    if found is None or reason is not None:
        return [row.label, "missing", "", "", row.goal.text], "missing" + (f": {reason}" if reason else "")
    ratio = show(found.value / found.floor) + "x" if found.floor > 0 else "-"
    met = row.goal.met(found.value, found.floor)
    verdict = "missing: no floor to divide by" if met is None else ("met" if met else "NOT met")
    return [row.label, show(found.value, row.unit), show(found.floor, row.unit), ratio, row.goal.text], verdict


def render(figures):
    header = ["figure of this run", "value", "floor", "ratio", "goal", ""]
    body = []
    verdicts = []
    for row in ROWS:
        cells, verdict = table_row(row, figures.get(row.key))
        body.append(cells + [verdict])
        verdicts.append(verdict)
    widths = [max(len(r[i]) for r in [header] + body) for i in range(len(header) - 1)] + [0]
    lines = ["  ".join(cell.ljust(width) for cell, width in zip(r, widths)).rstrip() for r in [header] + body]
    lines.insert(1, "-" * (sum(widths[:-1]) + 2 * len(widths[:-1]) + len("NOT met")))
    met = verdicts.count("met")
    missing = sum(verdict.startswith("missing") for verdict in verdicts)
    lines.append(f"{met} of {len(ROWS)} goals met, {verdicts.count('NOT met')} not met, {missing} missing")
    return "\n".join(lines)


def main(paths):
    lines = []
    if not paths:
        lines = sys.stdin.read().splitlines()
    for path in paths:
        with open(path, encoding="utf-8", errors="replace") as source:
            lines += source.read().splitlines()
    print(render(read_figures(lines)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""Where a Wine process's memory goes, from Linux: its resident set (what Wine reports as the
working set) and resident anonymous memory (what Wine reports as private bytes) summed per
mapped file (the program, each Windows DLL, Wine's own libraries and fonts) and for the
anonymous mappings (heaps, thread stacks, Wine's own tables).

Usage: settled-memory.py PROGRAM.exe   (the newest Wine process whose command line names it)
       settled-memory.py --pid PID
"""
import os
import sys
from collections import defaultdict


def find_pid(program):
    candidates = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as source:
                words = source.read().split(b"\0")
        except OSError:
            continue
        if words and words[0].decode(errors="replace").lower().endswith(program.lower()):
            candidates.append(int(entry))
    return max(candidates) if candidates else None


def read_smaps(pid):
    """(name, rss_kib, anonymous_kib) for every mapping."""
    mappings, name, rss, anonymous = [], None, 0, 0
    with open(f"/proc/{pid}/smaps") as source:
        for line in source:
            words = line.split()
            if "-" in words[0] and len(words) >= 5 and ":" not in words[0]:
                if name is not None:
                    mappings.append((name, rss, anonymous))
                name = os.path.basename(words[5]) if len(words) >= 6 else "[anonymous]"
                rss = anonymous = 0
            elif words[0] == "Rss:":
                rss = int(words[1])
            elif words[0] == "Anonymous:":
                anonymous = int(words[1])
    if name is not None:
        mappings.append((name, rss, anonymous))
    return mappings


def main(arguments):
    if len(arguments) == 2 and arguments[0] == "--pid":
        pid = int(arguments[1])
    elif len(arguments) == 1:
        pid = find_pid(arguments[0])
        if pid is None:
            print(f"no process runs {arguments[0]}", file=sys.stderr)
            return 1
    else:
        print(__doc__, file=sys.stderr)
        return 2
    totals = defaultdict(lambda: [0, 0])
    for name, rss, anonymous in read_smaps(pid):
        totals[name][0] += rss
        totals[name][1] += anonymous
    rows = sorted(totals.items(), key=lambda item: -item[1][0])
    print(f"{'mapping':40} {'resident KiB':>12} {'anonymous KiB':>14}")
    for name, (rss, anonymous) in rows:
        if rss or anonymous:
            print(f"{name:40} {rss:12} {anonymous:14}")
    print(f"{'total':40} {sum(r for r, _ in totals.values()):12} {sum(a for _, a in totals.values()):14}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

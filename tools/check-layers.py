#!/usr/bin/env python3
"""Fails when a source file includes a header of a higher layer.

Layers, lowest first: common <- sharedobject, PB, platform/<library> <- favorites <- follow <- ui
<- push <- app. A folder may include its own headers and those of lower layers; folders on the
same level (the shared-object reader, the catalogue schema and each outside library) do not
include each other. Tests, benchmarks and tools stand above everything and are not checked.

Usage: check-layers.py [SOURCE_ROOT]   (default: the folder above this script)
"""
import pathlib
import re
import sys

LEVELS = {"common": 0, "sharedobject": 1, "PB": 1, "platform": 1, "favorites": 2, "follow": 3, "ui": 4,
          "push": 5, "app": 6}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCES = {".h", ".hpp", ".cpp", ".cc", ".c", ".inl"}


def unit_of(relative):
    """The layer unit of a path below the root: its top folder, or platform/<library>."""
    parts = pathlib.PurePosixPath(relative).parts
    if not parts or parts[0] not in LEVELS:
        return None
    if parts[0] == "platform" and len(parts) > 2:
        return "platform/" + parts[1]
    return parts[0]


def level_of(unit):
    return LEVELS[unit.split("/")[0]]


def violations(root):
    paths = sorted(p for top in LEVELS if (root / top).is_dir() for p in (root / top).rglob("*"))
    for path in paths:
        if path.suffix not in SOURCES or not path.is_file():
            continue
        relative = path.relative_to(root).as_posix()
        own = unit_of(relative)
        if own is None:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = unit_of(match.group(1))
            if target is None or target == own:
                continue
            if level_of(target) >= level_of(own):
                yield f"{relative}:{number}: {own} includes {match.group(1)} ({target} is not below it)"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = list(violations(root))
    for line in found:
        print(line)
    print(f"layers: {len(found)} include(s) pointing up or sideways" if found else "layers: every include points down")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

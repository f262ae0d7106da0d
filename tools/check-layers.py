#!/usr/bin/env python3
"""Fails when a source file includes a header of a higher layer, or a library links one.

Layers, lowest first: common <- sharedobject, PB, platform/<library> <- favorites <- follow <- ui
<- push <- app. A folder may include its own headers and those of lower layers; folders on the
same level (the shared-object reader, the catalogue schema and each outside library) do not
include each other. The same holds for the libraries that the layers' CMake files declare: a
library links only libraries of its own or lower layers (a library belongs to the layer of its
first source). Tests, benchmarks and tools stand above everything and are not checked.

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


CMAKE_CALL = re.compile(r"\b(add_library|add_executable|target_link_libraries)\s*\(([^)]*)\)", re.S)


def cmake_calls(path):
    """(command, arguments, line) of each library call in a CMake file, comments left out."""
    text = "\n".join(line.split("#", 1)[0] for line in path.read_text(encoding="utf-8").splitlines())
    for match in CMAKE_CALL.finditer(text):
        yield match.group(1), match.group(2).split(), text.count("\n", 0, match.start()) + 1


def link_violations(root):
    files = sorted(p for top in LEVELS if (root / top).is_dir() for p in (root / top).rglob("CMakeLists.txt"))
    units, links = {}, []
    for path in files:
        folder = path.parent.relative_to(root).as_posix()
        for command, arguments, line in cmake_calls(path):
            if not arguments:
                continue
            if command != "target_link_libraries":
                sources = [a for a in arguments[1:] if a not in {"STATIC", "SHARED", "OBJECT", "WIN32"}]
                unit = unit_of(f"{folder}/{sources[0]}" if sources else f"{folder}/CMakeLists.txt")
                if unit is not None:
                    units[arguments[0]] = unit
                continue
            links.append((f"{path.relative_to(root).as_posix()}:{line}", arguments[0], arguments[1:]))
    for where, target, linked in links:
        own = units.get(target)
        if own is None:
            continue
        for library in linked:
            other = units.get(library)
            if other is not None and other != own and level_of(other) >= level_of(own):
                yield f"{where}: {target} ({own}) links {library} ({other} is not below it)"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = list(violations(root)) + list(link_violations(root))
    for line in found:
        print(line)
    print(f"layers: {len(found)} include(s) or link(s) pointing up or sideways" if found
          else "layers: every include and link points down")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

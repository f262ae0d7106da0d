#!/usr/bin/python3
"""Writes the fuzz seeds of the text and message parsers from the test data in the tree:

    make_fuzz_seeds.py ROOT FOLDER

FOLDER/catalogue      the catalogue answers the emulator sends (its fixtures, hostile ones too)
FOLDER/reminder_feed  the reminder feeds the emulator sends, and the feed texts of the tests
FOLDER/favorite       the favourite texts of the tests (C++ string literals naming "AlbumID")
FOLDER/skin           the shipped skins and the skins of the tests (literals starting "<Window")
"""

import re
import sys
from pathlib import Path

# A C++ string literal (optional L/u8 prefix, then a raw string or a quoted one), or a comment
# or a character literal, which are skipped so that no quote in them starts a string.
LITERAL = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:[^\'\\\n]|\\.)*\'|'
                     r'(?:L|u8)?(?:R"(?P<delim>[^(\s]*)\((?P<raw>.*?)\)(?P=delim)"|"(?P<quoted>(?:[^"\\\n]|\\.)*)")',
                     re.DOTALL)
SIMPLE_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "\\": "\\", '"': '"', "'": "'"}


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] != "\\":
            out.append(text[i])
            i += 1
            continue
        kind = text[i + 1]
        if kind in "uU":
            width = 4 if kind == "u" else 8
            out.append(chr(int(text[i + 2:i + 2 + width], 16)))
            i += 2 + width
        elif kind == "x":
            digits = re.match(r"[0-9a-fA-F]+", text[i + 2:]).group(0)
            out.append(chr(int(digits, 16)))  # a byte: kept as that code point, written as latin-1 below
            i += 2 + len(digits)
        else:
            out.append(SIMPLE_ESCAPES.get(kind, kind))
            i += 2
    return "".join(out)


def literals(path):
    """The string literals of a C++ file, adjacent ones joined as the compiler joins them."""
    source = path.read_text(encoding="utf-8", errors="replace")
    joined, end = [], None
    for match in LITERAL.finditer(source):
        if match.group("raw") is None and match.group("quoted") is None:
            continue
        text = match.group("raw") if match.group("raw") is not None else unescape(match.group("quoted"))
        if joined and source[end:match.start()].strip() == "":
            joined[-1] += text
        else:
            joined.append(text)
        end = match.end()
    return joined


def encode(text):
    # \x escapes stand for bytes (below 256) and everything else for UTF-8 text.
    if all(ord(c) < 256 for c in text) and any(0x80 <= ord(c) for c in text):
        return text.encode("latin-1")
    return text.encode("utf-8", errors="surrogatepass")


def write(folder, name, data):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def test_literals(root, wanted):
    for path in sorted((root / "tests").rglob("*.cpp")):
        for index, text in enumerate(literals(path)):
            if wanted(text):
                yield f"{path.stem}_{index}", encode(text)


def emulator_seeds(root, out):
    sys.path.insert(0, str(root / "tools" / "emulator"))
    import vxemu  # the emulator's own fixture loading: the bytes it would send
    tables = vxemu.load_fixtures(root / "tools" / "emulator" / "fixtures")
    for album, entry in tables["catalogue"].items():
        for field, body in entry.bodies.items():
            write(out / "catalogue", f"{field}_{album}_{entry.answer}", body)
    for (kind, key), entry in tables["reminders"].items():
        write(out / "reminder_feed", f"{kind}_{key}_{entry.answer}", entry.body("http://127.0.0.1:8080"))


def main():
    root, out = Path(sys.argv[1]), Path(sys.argv[2])
    emulator_seeds(root, out)
    for name, data in test_literals(root, lambda text: "A00000" in text or "albumId" in text):
        write(out / "reminder_feed", name, data)
    for name, data in test_literals(root, lambda text: "AlbumID" in text):
        write(out / "favorite", name, data)
    for name, data in test_literals(root, lambda text: text.lstrip("\ufeff\xef\xbb\xbf").startswith("<Window")):
        write(out / "skin", name, data)
    for path in sorted((root / "tcskin").rglob("*.xml")):
        write(out / "skin", path.name, path.read_bytes())
    for kind in ("catalogue", "reminder_feed", "favorite", "skin"):
        if not any((out / kind).iterdir()):
            sys.exit(f"make_fuzz_seeds: no {kind} seeds found")


if __name__ == "__main__":
    main()

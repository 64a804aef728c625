#!/usr/bin/env python3
"""Fails when a text of the program has no finished English translation.

Usage: scripts/ts-check.py LUPDATE LRELEASE

Runs lupdate over src/ and tools/ into a temporary copy of
translations/ebook_en.ts (the file itself is left alone), then lists every
text whose translation is missing or unfinished, or whose placeholders
(%1, %2 ...) differ from the source's; lrelease must then report no
unfinished entry. To add the missing ones: cmake --build build --target
update_translations, fill them in (Qt Linguist or any editor), run again.
"""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TS = ROOT / "translations" / "ebook_en.ts"


def run(command):
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"ts-check: {' '.join(map(str, command))} failed:\n{done.stdout}{done.stderr}")
    return done.stdout + done.stderr


def problems(ts):
    found = []
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            text = translation.text if translation is not None else None
            state = translation.get("type") if translation is not None else "missing"
            if state in ("unfinished", "missing") or not text:
                found.append(f"{name}: {source!r} has no finished translation")
            elif set(re.findall(r"%\d", source)) != set(re.findall(r"%\d", text)):
                found.append(f"{name}: {source!r} and {text!r} differ in their placeholders")
    return found


def main():
    lupdate, lrelease = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as folder:
        copy = Path(folder) / TS.name
        shutil.copy(TS, copy)
        run([lupdate, "-no-obsolete", "-locations", "none", "-extensions", "cpp,h",
             str(ROOT / "src"), str(ROOT / "tools"), "-ts", str(copy)])
        found = problems(copy)
        for line in found:
            print(line)
        report = run([lrelease, str(copy), "-qm", str(Path(folder) / "ebook_en.qm")])
        unfinished = re.search(r"(\d+) unfinished", report)
        if unfinished and unfinished.group(1) != "0":
            found.append(report)
            print(report)
    if found:
        sys.exit(f"ts-check: {len(found)} texts lack English in {TS.relative_to(ROOT)}")
    print("ts-check: every text has its English translation")


if __name__ == "__main__":
    main()

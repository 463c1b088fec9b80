#!/usr/bin/env python3
"""Checks that translations/larkspurhollow.ts holds exactly the texts of the sources.

usage: check-translations.py LUPDATE SOURCE_DIR TEMPLATE

Runs lupdate over the sources into a scratch file and compares the (context, text, comment)
triples with the template's. Refresh the template with the update_translations build target.
"""
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path


def messages(ts_file):
    found = set()
    for context in ET.parse(ts_file).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            found.add((name, message.findtext("source"), message.findtext("comment") or ""))
    return found


def main():
    lupdate, sources, template = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as scratch:
        fresh = Path(scratch) / "fresh.ts"
        subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete",
                        "-source-language", "en", "-extensions", "cpp,h,qml", sources,
                        "-ts", str(fresh)], check=True, stderr=subprocess.DEVNULL)
        want, have = messages(fresh), messages(template)
    for context, text, _ in sorted(want - have):
        print(f"missing from the template: {context}: {text!r}")
    for context, text, _ in sorted(have - want):
        print(f"no longer in the sources: {context}: {text!r}")
    if want != have:
        print("Refresh it: cmake --build <build dir> --target update_translations")
        return 1
    print(f"{len(want)} texts, the template is up to date")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Checks that every include in src/ goes down the layers, as the libraries are linked.

Each folder of src/ may include its own headers and those of the folders below it; anything
else (a higher layer, or a layer beside it) is reported with its file and line. Exit status 1
when something is out of place.
"""
import re
import sys
from pathlib import Path

# Each folder and the folders it may reach, directly or through those below it.
BELOW = {
    "platform": [],
    "storage": ["platform"],
    "engine": ["storage"],
    "presets": ["engine"],
    "themes": ["storage"],
    "focus": ["engine"],
    "services": ["platform"],
    "integrations": ["presets"],
    "ui": ["integrations", "themes", "focus", "services"],
    "app": ["ui"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"(\w+)/')


def reachable(folder):
    seen, todo = {folder}, [folder]
    while todo:
        for lower in BELOW[todo.pop()]:
            if lower not in seen:
                seen.add(lower)
                todo.append(lower)
    return seen


def main():
    src = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "src"
    faults = []
    for folder in BELOW:
        allowed = reachable(folder)
        for path in sorted((src / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if match and match.group(1) in BELOW and match.group(1) not in allowed:
                    faults.append(f"{path.relative_to(src)}:{number}: {folder}/ must not "
                                  f"include {match.group(1)}/")
    unknown = sorted(p.name for p in src.iterdir() if p.is_dir() and p.name not in BELOW)
    faults += [f"{name}/: a folder without a layer" for name in unknown]
    print("\n".join(faults) if faults else f"{len(BELOW)} layers, every include goes down")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Mutation testing: does the suite notice small faults in the logic?

Applies one small fault at a time to a C++ file of src/ (a flipped comparison, + and -
swapped, && and || swapped, a negated condition, true and false swapped, an integer off by
one, a dropped call statement), rebuilds the library and the tests of the mirrored folder of
tests/, runs those tests with a time-out, and restores the file whatever happens. Sites are
drawn with a fixed seed, so two runs over the same sources try the same mutants.

    scripts/mutation-test.py --seed 7 --mutants 80
    scripts/mutation-test.py --seed 7 --mutants 80 --e2e      # also the end-to-end suite
    scripts/mutation-test.py --list --seed 7 --mutants 20     # show the draw, change nothing

The build folder (default build/mutation, an unoptimised build without debug information so
that rebuilds are quick) is configured and built on first use.
"""
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

FOLDERS = ["engine", "storage", "focus", "presets", "themes", "integrations", "app"]
KEYWORDS = {"return", "if", "while", "for", "switch", "case", "else", "delete", "throw",
            "auto", "const", "static", "using", "co_return", "do", "new", "goto", "default"}
BACKUP_SUFFIX = ".mutation-original"


def mask_line(line, in_comment):
    """Blanks comments and string/char literals, keeping columns; returns (masked, in_comment)."""
    out, i, n = [], 0, len(line)
    while i < n:
        if in_comment:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out), True
            out.append(" " * (end + 2 - i))
            i, in_comment = end + 2, False
            continue
        c = line[i]
        if line.startswith("//", i):
            out.append(" " * (n - i))
            break
        if line.startswith("/*", i):
            in_comment = True
            continue
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(c + "_" * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out), in_comment


def matching_paren(text, open_at):
    depth = 0
    for k in range(open_at, len(text)):
        depth += {"(": 1, ")": -1}.get(text[k], 0)
        if depth == 0:
            return k
    return -1


BINARY = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
          "&&": "||", "||": "&&", "+": "-", "-": "+"}
CALL_STATEMENT = re.compile(r"^(emit\s+|Q_EMIT\s+)?[A-Za-z_~][\w:]*((\.|->)[A-Za-z_~][\w:]*)*(<[\w:, *&]*>)?\(.*\);$")


def sites_in(path, rel):
    """Every mutation site of one file as (rel, line, column, old, new, kind)."""
    sites, in_comment, previous = [], False, ";"
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        masked, in_comment = mask_line(line, in_comment)
        stripped = masked.strip()
        if not stripped or stripped.startswith("#"):
            continue
        for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|&&|\|\||<|>|\+|-)(?=\s)", masked):
            op = m.group(1)
            if op in "+-" and '"' in masked:
                continue  # text concatenation: the swap would not build
            kind = {"&&": "logic", "||": "logic", "+": "arith", "-": "arith"}.get(op, "compare")
            sites.append((rel, number, m.start(), op, BINARY[op], kind))
        for m in re.finditer(r"\b(if|while) \(", masked):
            close = matching_paren(masked, m.end() - 1)
            if close > 0 and not re.search(r"[^=!<>]=[^=]|;", masked[m.end():close]):
                inner = line[m.end():close]
                sites.append((rel, number, m.end(), inner + ")", "!(" + inner + "))", "negate"))
        for m in re.finditer(r"\b(true|false)\b", masked):
            sites.append((rel, number, m.start(), m.group(1),
                          "false" if m.group(1) == "true" else "true", "bool"))
        for m in re.finditer(r"(?<![\w.'])(\d+)(?![\w.'])", masked):
            value = int(m.group(1))
            sites.append((rel, number, m.start(), m.group(1), str(value + 1), "int"))
            if value > 0:
                sites.append((rel, number, m.start(), m.group(1), str(value - 1), "int"))
        first = (stripped.split("(")[0].split() or [""])[0]
        if (CALL_STATEMENT.match(stripped) and first not in KEYWORDS
                and matching_paren(stripped, stripped.index("(")) == len(stripped) - 2
                and previous[-1:] in (";", "{", "}", ")", ":")):
            start = masked.index(stripped[0])
            sites.append((rel, number, start, line[start:start + len(stripped)], ";", "drop-call"))
        previous = stripped
    return sites


def all_sites(root, folders):
    sites = []
    for folder in folders:
        for path in sorted((root / "src" / folder).glob("*.cpp")):
            sites.extend(sites_in(path, str(path.relative_to(root))))
    return sites


def apply(text, site):
    _, number, column, old, new, _ = site
    lines = text.split("\n")
    line = lines[number - 1]
    assert line[column:column + len(old)] == old, f"site moved: {site}"
    lines[number - 1] = line[:column] + new + line[column + len(old):]
    return "\n".join(lines)


def run(command, timeout=None, **kwargs):
    try:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              text=True, timeout=timeout, start_new_session=True, **kwargs)
        return done.returncode, done.stdout
    except subprocess.TimeoutExpired as expired:
        return None, expired.stdout or ""


class Build:
    def __init__(self, root, folder, jobs):
        self.root, self.dir, self.jobs = root, folder, jobs

    def prepare(self):
        if not (self.dir / "build.ninja").exists():
            print(f"configuring {self.dir} ...", flush=True)
            subprocess.run(["cmake", "-S", str(self.root), "-B", str(self.dir), "-G", "Ninja",
                            "-DCMAKE_BUILD_TYPE=None", "-DCMAKE_CXX_FLAGS=-O0"], check=True,
                           stdout=subprocess.DEVNULL)
        print(f"building {self.dir} ...", flush=True)
        subprocess.run(["cmake", "--build", str(self.dir), f"-j{self.jobs}"], check=True,
                       stdout=subprocess.DEVNULL)

    def tests_by_folder(self):
        """Maps each tests/<folder>/ to the ctest entries it registers and their targets."""
        code, out = run(["ctest", "--test-dir", str(self.dir), "--show-only=json-v1"])
        if code != 0:
            sys.exit("ctest could not list the tests:\n" + out)
        listing = json.loads(out)
        graph = listing["backtraceGraph"]
        found = {}
        for test in listing["tests"]:
            files, node = set(), test.get("backtrace")
            while node is not None:
                files.add(graph["files"][graph["nodes"][node]["file"]])
                node = graph["nodes"][node].get("parent")
            folders = {Path(f).parent.name for f in files if Path(f).parent.parent.name == "tests"}
            targets = {Path(a).name for a in test.get("command", [])
                       if a.startswith(str(self.dir)) and Path(a).is_file()}
            for folder in folders:
                names, wanted = found.setdefault(folder, (set(), set()))
                names.add(test["name"])
                wanted.update(targets)
        return found

    def build(self, targets, timeout):
        return run(["cmake", "--build", str(self.dir), f"-j{self.jobs}", "--target",
                    *sorted(targets)], timeout=timeout)

    def test(self, names, timeout):
        pattern = "^(" + "|".join(re.escape(n) for n in sorted(names)) + ")$"
        return run(["ctest", "--test-dir", str(self.dir), "-R", pattern, f"-j{self.jobs}",
                    "--stop-on-failure", "--timeout", str(int(timeout))], timeout=timeout + 30)


def restore_leftovers(root):
    for backup in (root / "src").rglob("*" + BACKUP_SUFFIX):
        target = backup.with_name(backup.name[: -len(BACKUP_SUFFIX)])
        shutil.copy2(backup, target)
        backup.unlink()
        target.touch()
        print(f"restored {target.relative_to(root)} from an interrupted run")


def interrupted(*_):
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--mutants", type=int, default=80, help="mutants that build, to run")
    parser.add_argument("--folders", default=",".join(FOLDERS))
    parser.add_argument("--build-dir", default="build/mutation")
    parser.add_argument("--e2e", action="store_true", help="also run the end-to-end suite")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--list", action="store_true", help="print the draw and stop")
    parser.add_argument("--report", help="write one JSON line per mutant to this file")
    args = parser.parse_args()

    root = Path(__file__).resolve().parent.parent
    folders = [f for f in args.folders.split(",") if f]
    sites = sorted(all_sites(root, folders))
    random.Random(args.seed).shuffle(sites)
    print(f"{len(sites)} sites in src/{{{','.join(folders)}}}; seed {args.seed}", flush=True)
    if args.list:
        for site in sites[: args.mutants]:
            print(f"{site[0]}:{site[1]}  {site[5]}: {site[3]!r} -> {site[4]!r}")
        return 0

    restore_leftovers(root)
    build = Build(root, (root / args.build_dir).resolve(), args.jobs)
    build.prepare()
    groups = build.tests_by_folder()
    if args.e2e and "e2e" not in groups:
        sys.exit("no end-to-end tests are registered")

    # Each folder's tests must pass unmutated; their time sets the time-out.
    limits = {}
    for folder in folders:
        names, targets = groups.get(folder, (set(), set()))
        if args.e2e:
            names, targets = names | groups["e2e"][0], targets | groups["e2e"][1]
        if not names:
            continue
        started = time.monotonic()
        code, out = build.test(names, 1800)
        if code != 0:
            sys.exit(f"the tests of {folder} fail without any mutant:\n{out[-3000:]}")
        limits[folder] = max(60.0, 3 * (time.monotonic() - started))

    report = open(args.report, "w", encoding="utf-8") if args.report else None
    counts = {"killed": 0, "survived": 0, "time-out": 0, "not built": 0}
    built = 0
    signal.signal(signal.SIGTERM, interrupted)
    for site in sites:
        if built >= args.mutants:
            break
        folder = Path(site[0]).parent.name
        if folder not in limits:
            continue
        names, targets = groups[folder]
        if args.e2e:
            names, targets = names | groups["e2e"][0], targets | groups["e2e"][1] | {"larkspurhollow"}
        path = root / site[0]
        original = path.read_text(encoding="utf-8")
        backup = path.with_name(path.name + BACKUP_SUFFIX)
        started = time.monotonic()
        try:
            shutil.copy2(path, backup)
            path.write_text(apply(original, site), encoding="utf-8")
            code, _ = build.build(targets, 900)
            if code != 0:
                verdict = "not built"
            else:
                built += 1
                code, out = build.test(names, limits[folder])
                if code is None or "***Timeout" in out:
                    verdict = "time-out"
                else:
                    verdict = "survived" if code == 0 else "killed"
        finally:
            path.write_text(original, encoding="utf-8")
            backup.unlink(missing_ok=True)
        counts[verdict] += 1
        seconds = time.monotonic() - started
        print(f"{verdict:9}  {site[0]}:{site[1]}  {site[5]}: {site[3]!r} -> {site[4]!r}"
              f"  ({seconds:.0f} s)", flush=True)
        if report:
            report.write(json.dumps({"file": site[0], "line": site[1], "kind": site[5],
                                     "from": site[3], "to": site[4], "verdict": verdict}) + "\n")
            report.flush()

    # Leave the build as the sources are.
    build.build(set().union(*(groups[f][1] for f in limits)), 900)
    detected = counts["killed"] + counts["time-out"]
    rate = 100.0 * detected / built if built else 0.0
    print(f"mutants: {built} built ({counts['not built']} not built): {counts['killed']} killed, "
          f"{counts['time-out']} time-out, {counts['survived']} survived; "
          f"kill rate {rate:.1f} % (seed {args.seed})")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(130)

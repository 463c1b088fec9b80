#!/usr/bin/python3
"""Feeds the real program bad input from the desktop's side and prints what happened.

Prints figures; asserts nothing. A fresh program runs offscreen with private XDG folders (the
same throwaway setup as scripts/probe-instance.py). For each case: the launch's exit code and
first line, the program's new output lines, what it stored, and its memory.

  /usr/bin/python3 scripts/probe-input.py [--binary PATH]

Cases:
  10,000 URLs in one second launch
  a URL of 10 MB and a start with a 1 MB name: as command-line arguments (the kernel caps one
    argument at 128 KiB, so the launch itself is refused by exec) and as frames sent straight to
    the socket by a client speaking the hand-over protocol
  emoji that are not emoji, and invalid UTF-8 in every parameter of a start
  memory (RSS) before, at the peak, and once every timer is stopped again
"""

import argparse
import socket
import struct
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
probe = __import__("probe-instance")
START = probe.START


def rss_mib(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    return 0.0


class Output:  # the program's stdout, new lines since the last look
    def __init__(self, program):
        self.path, self.seen = program.root / "out", 0

    def new(self):
        lines = self.path.read_text(errors="replace").splitlines() if self.path.exists() else []
        fresh, self.seen = lines[self.seen:], len(lines)
        return [line[:120] for line in fresh]


def launch(p):
    # As probe-instance's Program, with the program's stdout kept for its lines.
    out = open(p.root / "out", "w")
    p.proc.terminate()
    p.proc.wait(10)
    p.proc = probe.subprocess.Popen([p.binary], env=p.env, stdout=out,
                                    stderr=probe.subprocess.STDOUT)
    deadline = time.monotonic() + 15
    while p.run("--status").returncode != 0 and time.monotonic() < deadline:
        time.sleep(0.05)


def send_frames(p, *frames):  # as a client of the socket would; returns the answer byte
    with socket.socket(socket.AF_UNIX) as s:
        s.settimeout(5)
        s.connect(p.socket)
        try:
            for kind, payload in frames:
                s.sendall(kind + struct.pack(">I", len(payload)) + payload)
            return s.recv(1)
        except OSError as error:
            return f"{type(error).__name__}"


def stop_all(p):
    p.run("larkspurhollow://stop")
    time.sleep(0.5)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=str(probe.REPO / "build/dev/bin/larkspurhollow"))
    args = parser.parse_args()
    p = probe.Program(args.binary)
    try:
        launch(p)
        out, pid = Output(p), p.proc.pid
        time.sleep(1)
        base = rss_mib(pid)
        print(f"memory at rest: {base:.1f} MiB")

        urls = [f"{START}?name=n{i}&duration=600" for i in range(10_000)]
        result, took = p.timed(*urls)
        seen, until = p.wait_count(10_000)
        peak = rss_mib(pid)
        stop_all(p)
        print(f"10,000 URLs: exit {result.returncode} after {took:.2f} s, {seen} timers "
              f"{until:.1f} s later; RSS {peak:.1f} MiB, {rss_mib(pid):.1f} MiB once stopped; "
              f"lines {out.new()[:3]}")

        for what, url in (("a URL of 10 MB", f"{START}?junk=" + "x" * 10_000_000),
                          ("a start with a 1 MB name", f"{START}?name=" + "N" * 1_000_000)):
            try:
                result = p.run(url)
                told = f"exit {result.returncode} {probe.first_line(result)!r}"
            except OSError as error:  # E2BIG: the kernel refuses the command line
                told = f"exec refused: {error.strerror}"
            answer = send_frames(p, (b"U", url.encode()), (b"E", b""))
            time.sleep(0.5)
            timers = p.timers() or []
            names = [len(t["name"]) for t in timers]
            stop_all(p)
            print(f"{what}: as an argument {told}; through the socket answer {answer!r}, "
                  f"timers {len(timers)} with name lengths {names}, still answering "
                  f"{p.run('--status').returncode == 0}; RSS {rss_mib(pid):.1f} MiB; "
                  f"lines {out.new()[:3]}")

        cases = [("emoji=abc", "letters"), ("emoji=%00", "NUL"), ("emoji=" + "%F0%9F%8D%B5" * 3000,
                  "3,000 teacups"), ("emoji=%E2%80%8D", "a lone joiner"),
                 ("emoji=%F0%9F%91%A8%E2%80%8D%F0%9F%91%A9%E2%80%8D%F0%9F%91%A7", "a family")]
        for parameter in ("name", "emoji", "duration", "mode", "sound", "warning", "repeat"):
            for bad in ("%FF", "%C3%28", "%ED%A0%80", "%F8%88%80%80%80"):
                cases.append((f"{parameter}={bad}", f"invalid UTF-8 in {parameter}"))
        for query, what in cases:
            result = p.run(f"{START}?{query}&duration=60")
            time.sleep(0.15)
            timers = p.timers() or []
            made = [(t["name"][:20], t["emoji"][:20]) for t in timers]
            stop_all(p)
            print(f"{what:32} exit {result.returncode}: timers {made} lines {out.new()[:2]}")
        time.sleep(1)
        print(f"memory at the end: {rss_mib(pid):.1f} MiB (at rest {base:.1f} MiB)")
    finally:
        p.close()


if __name__ == "__main__":
    main()

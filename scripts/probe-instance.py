#!/usr/bin/python3
"""Pushes the single-instance socket of the real program hard and prints what happened.

Prints figures; asserts nothing. Each scenario runs a fresh program offscreen with private
XDG_RUNTIME_DIR, XDG_DATA_HOME and XDG_CONFIG_HOME and no session bus, so nothing of the
desktop is touched.

  /usr/bin/python3 scripts/probe-instance.py [--binary PATH] [--only NAME...]

Scenarios:
  many        5,000 start URLs in one launch: its exit code, the time to its exit, timers made
  long        one URL of 70,000 characters (and one as long as a single argument may be)
  argmax      URLs filling the command line to the system's limit, each with a marker name
  busy        20,000 starts running while a second launch hands over one URL
  idle        40 connections that never send, then a launch
  flood       four clients reconnecting (and sending garbage) in a loop while 50 launches run
  garbage     how soon the program lets go of a peer that sends garbage or nothing
  status      how long --status, --status --json and --status --first take (30 runs each)
  watch       the program's CPU time with and without watchers, and how often they print
"""

import argparse
import json
import os
import shutil
import socket
import statistics
import subprocess
import tempfile
import threading
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
START = "larkspurhollow://start"


class Program:
    def __init__(self, binary):
        self.binary = binary
        self.root = Path(tempfile.mkdtemp(prefix="larkspur-probe-"))
        (self.root / "run").mkdir(mode=0o700)
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8",
                    "HOME": str(self.root), "XDG_RUNTIME_DIR": str(self.root / "run"),
                    "XDG_DATA_HOME": str(self.root / "data"),
                    "XDG_CONFIG_HOME": str(self.root / "cfg"), "QT_QPA_PLATFORM": "offscreen",
                    "NO_AT_BRIDGE": "1", "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent"}
        self.socket = str(self.root / "run/larkspurhollow")
        self.proc = subprocess.Popen([binary], env=self.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 15
        while self.run("--status").returncode != 0:
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise SystemExit("the program did not come up")
            time.sleep(0.05)

    def run(self, *args, timeout=60):
        return subprocess.run([self.binary, *args], env=self.env, capture_output=True,
                              text=True, timeout=timeout)

    def timed(self, *args):
        began = time.perf_counter()
        result = self.run(*args)
        return result, time.perf_counter() - began

    def timers(self):
        result = self.run("--status", "--json")
        return json.loads(result.stdout) if result.returncode == 0 else None

    def wait_count(self, count, timeout=120):
        began, seen = time.perf_counter(), -1
        while time.perf_counter() - began < timeout:
            timers = self.timers()
            seen = len(timers) if timers is not None else seen
            if seen >= count:
                break
            time.sleep(0.1)
        return seen, time.perf_counter() - began

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        shutil.rmtree(self.root, ignore_errors=True)


def first_line(result):
    text = (result.stdout + result.stderr).strip().splitlines()
    return (text[0][:110] + f" (+{len(text) - 1} lines)" * (len(text) > 1)) if text else ""


def many(p):
    urls = [f"{START}?name=n{i}&duration=600" for i in range(5000)]
    result, took = p.timed(*urls)
    seen, until = p.wait_count(5000)
    print(f"many: 5,000 URLs: exit {result.returncode} after {took:.2f} s; {seen} timers, "
          f"all there {until:.1f} s later {first_line(result)!r}")


def long(p):
    for length in (70_000, 131_072 - 1 - len(START + "?name=")):
        result, took = p.timed(f"{START}?name=" + "A" * length)
        timers = p.wait_count(1, 10)[0] and p.timers() or []
        longest = max((len(t["name"]) for t in timers), default=0)
        print(f"long: name of {length:,} characters: exit {result.returncode} after {took:.2f} s;"
              f" {len(timers)} timer(s), longest name {longest:,} {first_line(result)!r}")


def argmax(p):
    limit = os.sysconf("SC_ARG_MAX")
    environment = sum(len(k) + len(v) + 2 + 8 for k, v in p.env.items())
    budget = min(limit, 6 * 1024 * 1024) - environment - 64 * 1024  # room for the rest
    piece = 128 * 1024 - 1  # a single argument's limit, with its NUL
    urls, used = [], 0
    while used + piece + 8 < budget:
        urls.append(f"{START}?name=m{len(urls)}&junk=" + "x" * (piece - 40))
        used += len(urls[-1]) + 1 + 8
    result, took = p.timed(*urls)
    seen = p.wait_count(len(urls), 30)[0]
    print(f"argmax: {len(urls)} URLs, {used / 1048576:.2f} MiB (ARG_MAX {limit:,}): exit "
          f"{result.returncode} after {took:.2f} s; {seen} timers {first_line(result)!r}")


def busy(p, count=20_000):
    batch = subprocess.Popen([p.binary] + [f"{START}?name=b{i}&duration=600"
                                           for i in range(count)], env=p.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    batch.wait()
    result, took = p.timed(f"{START}?name=late&duration=600")
    status, status_took = p.timed("--status", "--first")
    seen, until = p.wait_count(count + 1)
    print(f"busy: while {count:,} starts run a second launch exits {result.returncode} after "
          f"{took:.2f} s {first_line(result)!r}; --status then took {status_took:.2f} s "
          f"(exit {status.returncode}); all {seen} timers there {until:.1f} s later")


def idle(p):
    idle = []
    for _ in range(40):
        s = socket.socket(socket.AF_UNIX)
        s.connect(p.socket)
        idle.append(s)
    result, took = p.timed(f"{START}?name=after-idle&duration=600")
    gone = 0
    time.sleep(1.5)
    for s in idle:
        s.settimeout(0.1)
        try:
            gone += s.recv(1) == b""
        except (socket.timeout, OSError):
            pass
        s.close()
    print(f"idle: 40 silent connections, then a launch: exit {result.returncode} after "
          f"{took:.2f} s {first_line(result)!r}; {gone}/40 silent ones closed by the program "
          f"within 1.5 s")


def flood(p):
    stop, made = threading.Event(), [0]

    def hammer(garbage):
        while not stop.is_set():
            with socket.socket(socket.AF_UNIX) as s:
                try:
                    s.connect(p.socket)
                    if garbage:
                        s.sendall(b"\xff" * 64)
                    made[0] += 1
                except OSError:
                    pass

    threads = [threading.Thread(target=hammer, args=(i % 2,)) for i in range(4)]
    for t in threads:
        t.start()
    codes, times = [], []
    for i in range(50):
        result, took = p.timed(f"{START}?name=f{i}&duration=600")
        codes.append(result.returncode)
        times.append(took)
    stop.set()
    for t in threads:
        t.join()
    seen = p.wait_count(50, 10)[0]
    print(f"flood: {made[0]:,} reconnects meanwhile; 50 launches: {codes.count(0)} exit 0, "
          f"others {sorted(set(codes) - {0})}; median {statistics.median(times) * 1000:.0f} ms, "
          f"max {max(times) * 1000:.0f} ms; {seen} timers")


def garbage(p):
    for what, data in (("garbage", b"\xff" * 64), ("a too long frame", b"U\xff\xff\xff\xff"),
                       ("nothing", b"")):
        with socket.socket(socket.AF_UNIX) as s:
            s.connect(p.socket)
            s.sendall(data)
            began = time.perf_counter()
            s.settimeout(5)
            try:
                closed = s.recv(1) == b""
            except (socket.timeout, ConnectionResetError):
                closed = True
            print(f"garbage: a peer that sends {what}: {'closed' if closed else 'answered'} "
                  f"after {(time.perf_counter() - began) * 1000:.0f} ms")


def status(p):
    for name in ("tea", "pot"):
        p.run(f"{START}?name={name}&duration=300&emoji=%F0%9F%8D%B5")
    for args in (["--status"], ["--status", "--json"], ["--status", "--first"], ["--version"]):
        times = []
        for _ in range(30):
            times.append(p.timed(*args)[1] * 1000)
        times.sort()
        print(f"status: {' '.join(args)}: median {statistics.median(times):.1f} ms, "
              f"90th {times[26]:.1f} ms, max {times[-1]:.1f} ms")
    # The program's part alone: a status request and its answer over the socket.
    times = []
    for _ in range(100):
        began = time.perf_counter()
        with socket.socket(socket.AF_UNIX) as s:
            s.connect(p.socket)
            s.sendall(b"S\0\0\0\0")
            while s.recv(65536):
                pass
        times.append((time.perf_counter() - began) * 1000)
    times.sort()
    print(f"status: the answer alone, over the socket: median {statistics.median(times):.2f} ms, "
          f"90th {times[89]:.2f} ms, max {times[-1]:.2f} ms")


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def watch(p, seconds=5):
    for name in ("one", "two", "three"):
        p.run(f"{START}?name={name}&duration=600")
        time.sleep(0.3)  # three timers, each turning its second at another moment
    time.sleep(1)
    before = cpu_seconds(p.proc.pid)
    time.sleep(seconds)
    alone = cpu_seconds(p.proc.pid) - before
    watchers = [subprocess.Popen([p.binary, "--status", "--json", "--watch"], env=p.env,
                                 stdout=subprocess.PIPE, text=True) for _ in range(2)]
    time.sleep(0.5)
    before = cpu_seconds(p.proc.pid)
    time.sleep(seconds)
    watched = cpu_seconds(p.proc.pid) - before
    p.proc.terminate()
    lines = [len(w.communicate(timeout=10)[0].splitlines()) for w in watchers]
    print(f"watch: three running timers; program CPU over {seconds} s: {alone * 1000:.0f} ms "
          f"unwatched, {watched * 1000:.0f} ms with two --json watchers; lines per watcher "
          f"{lines} in {seconds + 0.5:.1f} s; watchers ended with "
          f"{[w.returncode for w in watchers]} when the program quit")


SCENARIOS = {f.__name__: f for f in (many, long, argmax, busy, idle, flood, garbage, status,
                                     watch)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=str(REPO / "build/dev/bin/larkspurhollow"))
    parser.add_argument("--only", nargs="*", choices=SCENARIOS, default=list(SCENARIOS))
    args = parser.parse_args()
    for name in args.only:
        program = Program(args.binary)
        try:
            SCENARIOS[name](program)
        finally:
            program.close()


if __name__ == "__main__":
    main()

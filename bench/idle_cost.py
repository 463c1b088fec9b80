#!/usr/bin/python3
"""What the program costs while it sits in the tray, beside a peer tray timer doing the same.

Prints figures; asserts nothing. Runs in the end-to-end tests' throwaway session (Xvfb,
private session bus, notification service). The peer is KDE's KTeaTime (`apt-get install
kteatime`), started with one tea; it is skipped when it is not installed.

  /usr/bin/python3 bench/idle_cost.py [--binary PATH] [--window S]

Figures, with the floating panel hidden, over a window of S seconds (default 60) that starts
2 s after the situation is set:
  CPU %      time on a CPU of all the program's threads (schedstat, nanoseconds) / wall time,
             in % of one core
  wake-ups   how often the main thread was put on a CPU (schedstat), per second
"""

import argparse
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from measure import harness, use_binary  # noqa: E402


def schedstat(path):
    # Nanoseconds on a CPU, nanoseconds waiting for one, times put on one.
    return [int(field) for field in Path(path).read_text().split()]


def cpu_seconds(pid):
    return sum(schedstat(task / "schedstat")[0]
               for task in Path(f"/proc/{pid}/task").iterdir()) / 1e9


def slices(pid):
    return schedstat(f"/proc/{pid}/task/{pid}/schedstat")[2]


def measure(pid, seconds):
    time.sleep(2.0)  # start-up work settles first
    cpu0, runs0, wall0 = cpu_seconds(pid), slices(pid), time.perf_counter()
    time.sleep(seconds)
    cpu1, runs1, wall1 = cpu_seconds(pid), slices(pid), time.perf_counter()
    wall = wall1 - wall0
    return 100.0 * (cpu1 - cpu0) / wall, (runs1 - runs0) / wall


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", help="program to measure (default: build/dev's)")
    parser.add_argument("--window", type=float, default=60.0)
    args = parser.parse_args()
    print(f"program: {use_binary(args.binary or harness.BINARY)}; {args.window:.0f} s windows")
    session = harness.Session()
    try:
        session.launch()
        # Without a tray host the panel comes up at start; these figures are for it hidden.
        harness.wait_until(session.visible_windows, "the panel")
        session.send("larkspurhollow://toggle")
        harness.wait_until(lambda: not session.visible_windows(), "the panel hidden")
        cpu, wakes = measure(session.proc.pid, args.window)
        print(f"  no timers            CPU {max(cpu, 0):6.3f} %   wake-ups {wakes:6.2f}/s")
        session.send("larkspurhollow://start?name=Tea&duration=86400")
        session.wait_timers(lambda t: len(t) == 1, "the running timer")
        # Starting shows the panel; these figures are for the program in the tray alone.
        harness.wait_until(session.visible_windows, "the panel")
        session.send("larkspurhollow://toggle")
        harness.wait_until(lambda: not session.visible_windows(), "the panel hidden")
        cpu, wakes = measure(session.proc.pid, args.window)
        print(f"  one running timer    CPU {cpu:6.3f} %   wake-ups {wakes:6.2f}/s")
        session.stop()
        if not shutil.which("kteatime"):
            print("  KTeaTime             not installed")
            return
        peer = subprocess.Popen(["kteatime", "--time", "86400", "--name", "Tea"],
                                env=session.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            cpu, wakes = measure(peer.pid, args.window)
            print(f"  KTeaTime, one tea    CPU {cpu:6.3f} %   wake-ups {wakes:6.2f}/s")
        finally:
            peer.kill()
            peer.wait()
    finally:
        session.close()


if __name__ == "__main__":
    main()

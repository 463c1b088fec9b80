#!/usr/bin/python3
"""Measures how soon the real program takes URL commands, and what it costs while idle.

Prints figures; asserts nothing. Runs in the same throwaway session as the end-to-end
tests (Xvfb, private session bus, notification service, HTTP receiver on 127.0.0.1).

  /usr/bin/python3 bench/launch_time.py [--binary PATH] [--runs N] [--quick]

Figures:
  socket      exec until the single-instance socket accepts connections
  own URL     exec with a start URL on the command line until its webhook arrives
  hand-over   exec until a second launch with a start URL has got its timer started
              (webhook arrived); the second launch waits for the socket first
  second      the second launch alone, from its exec until it exits
  idle CPU %  CPU time of the program over a window / wall time of the window
  PSS         proportional set size from /proc/PID/smaps_rollup at the end of a window
"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from measure import (TIMERS_FILE, cpu_seconds, harness, poll, spawn,  # noqa: E402
                     stderr_tail, stop, use_binary)


def pss_kib(pid):
    for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
        if line.startswith("Pss:"):
            return int(line.split()[1])
    return None


def fresh_data(session):
    (session.app_dir / TIMERS_FILE).unlink(missing_ok=True)


def started_count(session):
    return len(session.receiver.events("timer.started"))


def measure_launches(session, runs):
    socket_ms, own_ms, handover_ms, second_ms = [], [], [], []

    def until(proc, predicate):
        # A program that died is reported at once, not after the poll's deadline.
        moment = poll(lambda: predicate() or proc.poll() is not None)
        if proc.poll() is not None:
            raise RuntimeError(f"the program exited {proc.returncode}:\n{stderr_tail(session)}")
        return moment

    for _ in range(runs):
        # Command-line URL: handled once launching has finished.
        fresh_data(session)
        before = started_count(session)
        t0 = time.perf_counter()
        proc = spawn(session, "larkspurhollow://start?name=Own&duration=600")
        try:
            done = until(proc, lambda: started_count(session) > before)
        finally:
            stop(proc)
        own_ms.append((done - t0) * 1000)

        # Second launch: waits for the socket like a script would, then hands over.
        fresh_data(session)
        before = started_count(session)
        t0 = time.perf_counter()
        proc = spawn(session)
        try:
            ready = until(proc, session.socket_live)
            socket_ms.append((ready - t0) * 1000)
            t1 = time.perf_counter()
            second = subprocess.Popen([harness.BINARY, "larkspurhollow://start?name=Handed"],
                                      env=session.env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            code = second.wait(15)
            second_ms.append((time.perf_counter() - t1) * 1000)
            if code != 0:
                raise RuntimeError(f"second launch exited {code}")
            done = until(proc, lambda: started_count(session) > before)
            handover_ms.append((done - t0) * 1000)
        finally:
            stop(proc)
    return {"socket": socket_ms, "own URL": own_ms, "hand-over": handover_ms,
            "second": second_ms}


def measure_idle(session, seconds, with_timer):
    fresh_data(session)
    session.launch()
    if with_timer:
        session.send("larkspurhollow://start?name=Idle&duration=86400")
        session.wait_timers(lambda t: len(t) == 1, "the idle timer")
    pid = session.proc.pid
    time.sleep(1.0)  # let start-up work settle before the window opens
    cpu0, wall0 = cpu_seconds(pid), time.perf_counter()
    time.sleep(seconds)
    cpu1, wall1 = cpu_seconds(pid), time.perf_counter()
    pss = pss_kib(pid)
    session.stop()
    return 100.0 * (cpu1 - cpu0) / (wall1 - wall0), pss


def describe(values):
    return (f"median {statistics.median(values):7.1f} ms   min {min(values):7.1f}   "
            f"max {max(values):7.1f}   (n={len(values)})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", help="program to measure (default: LARKSPUR_BINARY or "
                                         "build/dev/bin/larkspurhollow)")
    parser.add_argument("--runs", type=int, help="launches per figure (default 10, quick 5)")
    parser.add_argument("--quick", action="store_true", help="10 s idle windows instead of 60 s")
    args = parser.parse_args()
    binary = use_binary(args.binary or harness.BINARY)
    runs = args.runs or (5 if args.quick else 10)
    window = 10 if args.quick else 60

    print(f"program: {binary}")
    session = harness.Session(tray=True)  # as on a desktop: the panel stays hidden at start
    try:
        figures = measure_launches(session, runs)
        print("launch until URL commands are taken:")
        for name, values in figures.items():
            print(f"  {name:10s} {describe(values)}")
        print(f"idle, {window} s windows:")
        for label, with_timer in (("no timers", False), ("one running timer", True)):
            cpu, pss = measure_idle(session, window, with_timer)
            print(f"  {label:18s} CPU {cpu:5.2f} %   PSS {pss / 1024:6.1f} MiB")
    finally:
        session.close()


if __name__ == "__main__":
    main()

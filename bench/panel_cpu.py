#!/usr/bin/python3
"""What the floating panel costs with ten running timers, and how soon the drop-down opens.

Prints figures; asserts nothing. Runs the real program in the end-to-end tests' throwaway
session (Xvfb 800x600, private session bus, notification service, trayer as the tray host).

  /usr/bin/python3 bench/panel_cpu.py [--binary PATH] [--window S] [--backend NAME]...

Figures, for each Qt Quick backend asked for (default: the program's own choice, then
QT_QUICK_BACKEND=software, then QT_QUICK_BACKEND=rhi, which under Xvfb draws with OpenGL on
Mesa's software rasteriser):
  CPU %     CPU time (utime + stime) over the window / wall time, in % of one core, with the
            panel shown and, for comparison, hidden; each window starts 3 s after the change
  RSS, PSS  VmRSS and Pss of the program at the end of the panel-shown window
  drop-down click on the tray icon (xdotool) until the drop-down's window is mapped: the first
            opening (the window is made then) and the median of the next five; xdotool's
            own start-up is in the figure, about the time of the "xdotool alone" line
"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from measure import (REPO, cpu_seconds, embedded_tray_icon, harness, poll,  # noqa: E402
                     program_windows, tray_host_up, use_binary, window_geometry)

TIMERS = 10
SETTLE = 3.0
OPENINGS = 5


def default_binary():
    release = REPO / "build/release/bin/larkspurhollow"
    return release if release.is_file() else REPO / "build/dev/bin/larkspurhollow"


def memory_kib(pid):
    rss = int(next(line.split()[1] for line in Path(f"/proc/{pid}/status").read_text()
                   .splitlines() if line.startswith("VmRSS:")))
    pss = int(next(line.split()[1] for line in Path(f"/proc/{pid}/smaps_rollup").read_text()
                   .splitlines() if line.startswith("Pss:")))
    return rss, pss


def cpu_percent(pid, seconds):
    cpu0, wall0 = cpu_seconds(pid), time.perf_counter()
    time.sleep(seconds)
    cpu1, wall1 = cpu_seconds(pid), time.perf_counter()
    return 100.0 * (cpu1 - cpu0) / (wall1 - wall0)


def viewable(session, window_id):
    return window_geometry(session.env, window_id) is not None


def panel_id(session):
    shown = program_windows(session.env)
    ids = [wid for wid, (_, _, w, h) in shown.items() if (w, h) == (400, 400)]
    if len(ids) != 1:
        raise RuntimeError(f"expected the shown 400x400 panel, found windows {shown}; "
                           f"is the build current?")
    return ids[0]


def measure_panel(session, window):
    urls = [f"larkspurhollow://start?name=Bench%20{i}&duration=86400" for i in range(1, TIMERS + 1)]
    session.send(*urls)
    session.wait_timers(lambda t: len(t) == TIMERS and all(x["state"] == "running" for x in t),
                        f"{TIMERS} running timers")
    # A start URL shows the panel when it is hidden.
    harness.wait_until(lambda: program_windows(session.env), "the panel", 5)
    panel = panel_id(session)
    pid = session.proc.pid
    time.sleep(SETTLE)
    shown = cpu_percent(pid, window)
    rss, pss = memory_kib(pid)
    session.send("larkspurhollow://toggle")
    harness.wait_until(lambda: not viewable(session, panel), "the panel to hide", 5)
    time.sleep(SETTLE)
    hidden = cpu_percent(pid, window)
    return shown, hidden, rss, pss


def measure_drop_down(session):
    env = session.env
    icon = harness.wait_until(lambda: embedded_tray_icon(env), "the tray icon", 5)
    x, y, w, h = window_geometry(env, icon)
    click = ["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"]
    before = set(program_windows(env))

    def opened():
        return [wid for wid in program_windows(env) if wid not in before]

    def timed_click(until):
        # xdotool lingers about 100 ms after the click; the window is watched meanwhile.
        t0 = time.perf_counter()
        clicker = subprocess.Popen(click, env=env)
        try:
            return (poll(until) - t0) * 1000
        finally:
            clicker.wait(10)

    first = timed_click(opened)
    [popup] = opened()
    times = []
    for _ in range(OPENINGS):
        subprocess.run(["xdotool", "key", "Escape"], env=env, check=True)
        poll(lambda: not viewable(session, popup))
        time.sleep(0.3)
        times.append(timed_click(lambda: viewable(session, popup)))
    subprocess.run(["xdotool", "key", "Escape"], env=env, check=True)
    t0 = time.perf_counter()
    for _ in range(5):
        subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2)], env=env,
                       check=True)
    alone = (time.perf_counter() - t0) / 5 * 1000
    return first, times, alone


def run(backend, window):
    session = harness.Session(tray=True)
    try:
        if backend:
            session.env["QT_QUICK_BACKEND"] = backend
        # No webhook address: the figures are the panel's alone.
        (session.app_dir / "webhook-url.json").unlink()
        # An icon made before the tray host is up would not be embedded.
        harness.wait_until(lambda: tray_host_up(session.env), "the tray host window", 10)
        session.launch()
        shown, hidden, rss, pss = measure_panel(session, window)
        first, times, alone = measure_drop_down(session)
        session.stop()
    finally:
        session.close()
    label = backend or "default"
    print(f"backend {label}:")
    print(f"  {TIMERS} running timers, panel shown   CPU {shown:6.2f} % of a core "
          f"({window:.0f} s window)")
    print(f"  {TIMERS} running timers, panel hidden  CPU {hidden:6.2f} %")
    print(f"  memory with the panel shown      RSS {rss / 1024:6.1f} MiB   PSS "
          f"{pss / 1024:6.1f} MiB")
    print(f"  drop-down mapped after a click   first {first:6.1f} ms   then median "
          f"{statistics.median(times):6.1f} ms (min {min(times):.1f}, max {max(times):.1f}, "
          f"n={len(times)}); xdotool alone {alone:.1f} ms")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", help="program to measure (default: build/release, else "
                                         "build/dev)")
    parser.add_argument("--window", type=float, default=20.0,
                        help="seconds of each CPU window (default 20)")
    parser.add_argument("--backend", action="append",
                        help="QT_QUICK_BACKEND value; repeatable; \"\" for the program's own "
                             "(default: the program's own, software and rhi)")
    args = parser.parse_args()
    binary = use_binary(args.binary or default_binary())
    backends = args.backend if args.backend is not None else ["", "software", "rhi"]
    print(f"program: {binary}")
    for backend in backends:
        run(backend, args.window)


if __name__ == "__main__":
    main()

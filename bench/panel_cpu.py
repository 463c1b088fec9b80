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

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parent))
from measure import cpu_seconds, poll  # noqa: E402

TIMERS = 10
SETTLE = 3.0
OPENINGS = 5


class BenchSession(harness.Session):
    """A session whose program gets a few more environment variables."""

    def __init__(self, extra_env, **options):
        super().__init__(**options)
        self.extra_env = extra_env

    def base_env(self):
        env = super().base_env()
        env.update(self.extra_env)
        return env


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
    info = subprocess.run(["xwininfo", "-id", window_id], env=session.base_env(),
                          capture_output=True, text=True).stdout
    return "Map State: IsViewable" in info


def panel_id(session):
    ids = [wid for wid, (_, _, w, h) in session.program_windows().items() if (w, h) == (400, 400)]
    if len(ids) != 1:
        raise RuntimeError(f"expected the shown 400x400 panel, found windows "
                           f"{session.program_windows()}; is the build current?")
    return ids[0]


def measure_panel(session, window):
    urls = [f"larkspurhollow://start?name=Bench%20{i}&duration=86400" for i in range(1, TIMERS + 1)]
    session.send(*urls)
    session.wait_for_timers(lambda t: len(t) == TIMERS and all(x["state"] == "running" for x in t))
    # A start URL shows the panel when it is hidden.
    harness.wait_until(session.program_windows, 5, "the panel")
    panel = panel_id(session)
    pid = session.proc.pid
    time.sleep(SETTLE)
    shown = cpu_percent(pid, window)
    rss, pss = memory_kib(pid)
    session.send("larkspurhollow://toggle")
    harness.wait_until(lambda: not viewable(session, panel), 5, "the panel to hide")
    time.sleep(SETTLE)
    hidden = cpu_percent(pid, window)
    return shown, hidden, rss, pss


def measure_drop_down(session):
    env = session.base_env()
    icon = harness.wait_until(session.embedded_tray_icon, 5, "the tray icon")
    x, y, w, h = session.window_geometry(icon)
    click = ["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"]
    before = set(session.program_windows())

    def opened():
        return [wid for wid in session.program_windows() if wid not in before]

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
    extra = {"QT_QUICK_BACKEND": backend} if backend else {}
    with BenchSession(extra, tray=True, webhook=None) as session:
        session.launch()
        shown, hidden, rss, pss = measure_panel(session, window)
        first, times, alone = measure_drop_down(session)
        session.stop_program()
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
    harness.BINARY = Path(args.binary).resolve() if args.binary else default_binary()
    backends = args.backend if args.backend is not None else ["", "software", "rhi"]
    print(f"program: {harness.BINARY}")
    for backend in backends:
        run(backend, args.window)


if __name__ == "__main__":
    main()

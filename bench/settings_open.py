#!/usr/bin/python3
"""Measures how soon the settings window shows its first frame, and what it costs in memory.

Prints figures; asserts nothing. Runs the real program in the end-to-end tests' throwaway
session (Xvfb, openbox, a tray host, AT-SPI) and opens "Settings..." from the drop-down, then
closes the window with the window manager's Alt+F4, several times over.

  /usr/bin/python3 bench/settings_open.py [--binary PATH] [--runs N]

Figures:
  first frame  from the program taking the request to the window's first frame, as the program
               itself reports it (LARKSPUR_TRACE_FRAMES); the first opening, then the others
  anonymous    anonymous memory (heap) before the first opening, while open, and after closing
"""

import argparse
import re
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from measure import harness, use_binary  # noqa: E402

FRAME = re.compile(r"Settings window: first frame ([\d.]+) ms")


# Anonymous memory (heap and the like): unlike PSS or private pages, not moved by other programs
# mapping the same libraries or by the page cache.
def anon_kib(pid):
    fields = dict(line.split(":", 1) for line in
                  Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines()[1:])
    return int(fields["Anonymous"].split()[0])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=harness.BINARY)
    parser.add_argument("--runs", type=int, default=6)
    args = parser.parse_args()
    use_binary(args.binary)

    s = harness.Session(tray=True, a11y=True, wm=True)
    try:
        s.env["LARKSPUR_TRACE_FRAMES"] = "1"
        s.launch()
        pid = s.proc.pid
        settings = lambda: s.run("xdotool", "search", "--onlyvisible", "--name",  # noqa: E731
                                 "^Larkspurhollow Settings$").stdout.split()
        frames = lambda: [float(m) for m in FRAME.findall("\n".join(s.out))]  # noqa: E731
        time.sleep(2)
        before = anon_kib(pid)
        opened, closed = [], []
        for run in range(args.runs):
            s.click_tray_icon()
            s.ui.press("Settings...")
            harness.wait_until(lambda: len(frames()) > run, "the first frame", 10)
            [window] = harness.wait_until(settings, "the settings window")
            time.sleep(1.5)
            opened.append(anon_kib(pid))
            s.run("xdotool", "windowactivate", "--sync", window)
            s.run("xdotool", "key", "alt+F4")
            harness.wait_until(lambda: not settings(), "the settings window closed")
            time.sleep(1.5)
            closed.append(anon_kib(pid))
        times = frames()
        print(f"first frame, first opening   {times[0]:7.1f} ms")
        print(f"first frame, later openings  {statistics.median(times[1:]):7.1f} ms median, "
              f"{max(times[1:]):.1f} ms max ({len(times) - 1} runs)")
        print(f"anonymous before opening     {before / 1024:7.1f} MiB")
        print(f"anonymous while open         {statistics.median(opened) / 1024:7.1f} MiB median "
              f"(+{(statistics.median(opened) - before) / 1024:.1f})")
        print(f"anonymous after closing      {statistics.median(closed) / 1024:7.1f} MiB median "
              f"(+{(statistics.median(closed) - before) / 1024:.1f}); after each run: "
              + " ".join(f"{c / 1024:.1f}" for c in closed))
    finally:
        s.close()


if __name__ == "__main__":
    main()

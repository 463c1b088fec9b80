#!/usr/bin/python3
"""What a running focus phase costs, with the panel on its Focus tab and with the panel hidden.

Prints figures; asserts nothing. Runs the real program in the end-to-end tests' throwaway
session; the buttons are pressed over AT-SPI, which stays connected while measuring.

  /usr/bin/python3 bench/focus_cpu.py [--binary PATH] [--window S]
"""

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from idle_cost import measure  # noqa: E402
from measure import harness, use_binary  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", help="program to measure (default: build/dev's)")
    parser.add_argument("--window", type=float, default=20.0)
    args = parser.parse_args()
    print(f"program: {use_binary(args.binary or harness.BINARY)}; {args.window:.0f} s windows")
    session = harness.Session(a11y=True)
    try:
        session.launch()  # without a tray host, the panel comes up at start
        panel = harness.wait_until(session.visible_windows, "the panel")[0]
        session.run("xdotool", "windowsize", panel, 400, 640)
        session.ui.press("Focus")
        session.ui.press("Start Focus")
        session.ui.one("push button", "Pause Focus")
        cpu, wakes = measure(session.proc.pid, args.window)
        print(f"  focus running, Focus tab shown   CPU {cpu:6.3f} %   wake-ups {wakes:6.2f}/s")
        session.send("larkspurhollow://toggle")
        harness.wait_until(lambda: not session.visible_windows(), "the panel hidden")
        cpu, wakes = measure(session.proc.pid, args.window)
        print(f"  focus running, panel hidden      CPU {cpu:6.3f} %   wake-ups {wakes:6.2f}/s")
    finally:
        session.close()


if __name__ == "__main__":
    main()

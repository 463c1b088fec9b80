"""The tray icon in a real XEmbed tray host: embedding, its label, and its Quit entry.

Set LARKSPUR_E2E_ARTIFACTS to a folder to keep screenshots of the icon.
"""

import os
import re
import signal
import subprocess
import time
import unittest
from pathlib import Path

from harness import SCALE, E2ETestCase, holds_for, wait_until

PROGRAM_CLASS = '("larkspurhollow" "Larkspurhollow")'


def artifact(name):
    folder = os.environ.get("LARKSPUR_E2E_ARTIFACTS")
    if not folder:
        return None
    Path(folder).mkdir(parents=True, exist_ok=True)
    return Path(folder) / name


def top_level_program_windows(session):
    """The program's mapped windows directly below the root (menus, popups, the panel)."""
    return [window for window, (_, _, width, height) in session.program_windows().items()
            if width > 1 and height > 1]


class TrayTests(E2ETestCase):
    def test_icon_embeds_and_shows_the_running_time(self):
        s = self.running_session(tray=True)
        icon = wait_until(s.embedded_tray_icon, 5, "the icon inside the tray host")

        idle = wait_until(lambda: s.capture_window(icon, artifact("tray-idle.png")), 5, "pixels")
        self.assertGreater(len(set(idle)), 2, "the idle icon draws nothing")

        s.send("larkspurhollow://start?name=Shown&duration=100")
        running = wait_until(lambda: (lambda px: px if px != idle else None)(
            s.capture_window(icon)), 5, "the icon to change for the running timer")
        s.capture_window(icon, artifact("tray-running.png"))
        # A running countdown redraws as its seconds go by.
        wait_until(lambda: s.capture_window(icon) != running, 3, "the next second drawn")

        s.send("larkspurhollow://pause")
        wait_until(lambda: s.capture_window(icon) == idle, 3,
                   "the idle image back once nothing runs")
        self.assertTrue(holds_for(lambda: s.embedded_tray_icon() == icon, 0.2))

    def test_quit_from_the_tray_menu(self):
        s = self.running_session(tray=True)
        s.send("larkspurhollow://start?name=Menu&duration=600")
        s.wait_for_timers(lambda t: len(t) == 1)
        icon = wait_until(s.embedded_tray_icon, 5, "the icon inside the tray host")
        env = s.base_env()
        geometry = subprocess.run(["xwininfo", "-id", icon], env=env, capture_output=True,
                                  text=True, timeout=10 * SCALE).stdout
        x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", geometry).group(1))
        y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", geometry).group(1))
        time.sleep(0.3)  # a little progress for the quit to save

        # A right click opens the short menu; a left click opens the drop-down.
        # Starting a timer showed the panel; the menu is the window that comes on top of it.
        before = set(top_level_program_windows(s))
        subprocess.run(["xdotool", "mousemove", str(x + 8), str(y + 8), "click", "3"], env=env,
                       check=True, timeout=10 * SCALE)
        menu = wait_until(lambda: [w for w in top_level_program_windows(s) if w not in before], 5,
                          "the tray menu")
        if artifact("tray-menu.png"):
            subprocess.run(["import", "-window", "root", str(artifact("tray-menu.png"))], env=env,
                           timeout=20 * SCALE)
        self.assertEqual(len(menu), 1)
        # Up from no selection lands on the last entry, Quit.
        subprocess.run(["xdotool", "key", "Up", "Return"], env=env, check=True,
                       timeout=10 * SCALE)
        self.assertEqual(s.proc.wait(5 * SCALE), 0)
        [timer] = s.timers()
        self.assertEqual(timer["state"], "running")
        self.assertGreaterEqual(timer["elapsedTime"], 0.3)
        self.assertEqual(s.stop_program(signal.SIGTERM), 0)


if __name__ == "__main__":
    unittest.main()

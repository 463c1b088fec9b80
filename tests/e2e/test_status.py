# --status and --watch against the running program, the answer without one, and a launch
# without URLs, which shows the panel.

import json
import re
import subprocess
import threading
import time
import unittest

from harness import BINARY, SCALE, Session, stored_timer, wait_until

TEA = "\U0001F375"


class StatusTests(unittest.TestCase):
    def test_status_watch_and_panel(self):
        s = Session(self, tray=True, timers=[stored_timer("Tea", "running", 300, 10, emoji=TEA),
                                  stored_timer("Held", "paused", 120, 30),
                                  stored_timer("Later", "idle", 3700, mode="stopwatch")])
        # Nothing runs yet: nothing on standard output, exit 3, and nothing is started.
        for extra in ([], ["--json"], ["--first", "--watch"]):
            result = s.run(BINARY, "--status", *extra)
            self.assertEqual((result.returncode, result.stdout), (3, ""), extra)
            self.assertIn("not running", result.stderr)
        self.assertFalse(s.socket_live())

        s.launch()
        lines = s.run(BINARY, "--status").stdout.splitlines()
        self.assertEqual(len(lines), 3, lines)
        for line, pattern in zip(lines, [f"{TEA} Tea running 04:[45]\\d", "Held paused 01:30",
                                         "Later idle 00:00"]):
            self.assertRegex(line, f"^{pattern}$")
        tea, held, later = json.loads(s.run(BINARY, "--status", "--json").stdout)
        self.assertEqual([(t["name"], t["emoji"], t["mode"], t["state"], t["display"])
                          for t in (held, later)],
                         [("Held", "", "countdown", "paused", "01:30"),
                          ("Later", "", "stopwatch", "idle", "00:00")])
        self.assertEqual((held["remaining"], held["elapsed"], later["elapsed"]), (90, 30, 0))
        self.assertTrue(10 < tea["elapsed"] < 20 and abs(tea["remaining"] + tea["elapsed"] - 300)
                        < 0.01, tea)
        end = time.mktime(time.strptime(tea["endDate"], "%Y-%m-%dT%H:%M:%SZ")) - time.timezone
        self.assertLess(abs(end - (time.time() + tea["remaining"])), 2)
        self.assertEqual(["endDate" in t for t in (held, later)], [False, False])
        self.assertEqual(len({t["id"] for t in (tea, held, later)}), 3)
        self.assertRegex(s.run(BINARY, "--status", "--first").stdout, f"^{TEA} Tea 04:[45]\\d\n$")

        # A launch without URLs, as from the application menu, shows the panel.
        before = set(s.visible_windows())  # the tray icon
        s.send()
        wait_until(lambda: set(s.visible_windows()) - before, "the panel on screen")

        watcher = subprocess.Popen([BINARY, "--status", "--first", "--watch"], env=s.env,
                                   stdout=subprocess.PIPE)
        self.addCleanup(watcher.stdout.close)
        self.addCleanup(watcher.kill)
        seen = []  # (when, line)
        threading.Thread(target=lambda: seen.extend(
            (time.monotonic(), line.decode().rstrip("\n")) for line in watcher.stdout),
            daemon=True).start()
        wait_until(lambda: len(seen) >= 3, "three lines from the watcher", 4)
        # Tea's shown time moves on once a second, and the watcher prints each step once.
        shown = [line for _, line in seen[:3]]
        self.assertTrue(all(re.fullmatch(f"{TEA} Tea 04:[45]\\d", line) for line in shown), seen)
        self.assertEqual(len(set(shown)), 3, seen)
        self.assertLess(seen[2][0] - seen[0][0], 2.5 * SCALE)

        s.send("larkspurhollow://pause")
        paused = time.monotonic()
        when, line = wait_until(lambda: [x for x in seen if x[1] == ""], "an empty line", 3)[0]
        self.assertLess(when - paused, 1.1 * SCALE)
        # Nothing runs: no more lines until something changes.
        printed = len(seen)
        time.sleep(1.2)
        self.assertEqual((len(seen), seen[-1][1]), (printed, ""), seen)
        s.send("larkspurhollow://resume")
        resumed = time.monotonic()
        when, line = wait_until(lambda: seen[printed:], "a line after resume", 3)[0]
        self.assertLess(when - resumed, 1.1 * SCALE)
        self.assertRegex(line, f"^{TEA} Tea 04:[45]\\d$")

        s.stop()
        self.assertEqual(watcher.wait(3 * SCALE), 0)

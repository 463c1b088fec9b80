# Global hot keys pressed with xdotool act on the most recent timer and on the panel.

import time
import unittest

from harness import Session, payload, stored_timer, wait_until

TEA = "\U0001F375"


class HotKeyTests(unittest.TestCase):
    def test_hot_keys(self):
        s = Session(self, wm=True, timers=[stored_timer("First", "idle", 600),
                                           stored_timer("Tea", "idle", 180, emoji=TEA)])
        s.launch()
        since = time.time()
        # key, state of Tea after it, webhook by then (a resume announces nothing)
        for key, state, sent in [("alt+shift+s", "running", ["timer.started"]),
                                 ("alt+shift+s", "paused", ["timer.paused"]),
                                 ("alt+shift+s", "running", []),
                                 ("alt+shift+r", "idle", ["timer.reset"])]:
            count = len(s.receiver.bodies)
            s.run("xdotool", "key", key)
            timers = s.wait_timers(lambda t: t[1]["state"] == state, f"Tea {state} by {key}")
            self.assertEqual(timers[0]["state"], "idle")
            self.assertTrue(s.receiver.quiet(count + len(sent)), s.receiver.bodies)
            self.assertEqual([payload(b, since) for b in s.receiver.bodies[count:]], [
                {"event": e, "timer_name": "Tea", "timer_duration": 180, "timer_emoji": TEA}
                for e in sent])
            if state != "running":  # progress kept by a pause, dropped by a reset
                self.assertEqual(timers[1]["elapsedTime"] > 0, state == "paused")

        # The panel comes up over the window the user types in without taking its keyboard,
        # by hot key or URL; a click into the panel hands the keyboard over (Escape closes it).
        s._helper("xterm", "-geometry", "40x10+420+420")
        term = wait_until(lambda: s.run("xdotool", "search", "--onlyvisible", "--class", "xterm"
                                        ).stdout.split(), "the terminal")[0]
        s.run("xdotool", "windowactivate", "--sync", term)
        for toggle in (lambda: s.run("xdotool", "key", "alt+shift+t"),
                       lambda: s.send("larkspurhollow://toggle")):
            for shown in (False, True):  # up from the start, without a tray
                toggle()
                wait_until(lambda: bool(s.visible_windows()) == shown, f"the panel shown={shown}")
                time.sleep(0.2)  # any focus change has landed
                self.assertEqual(s.focused_window(), term)
        panel = wait_until(s.visible_windows, "the panel")[0]
        s.run("xdotool", "mousemove", "--window", panel, 200, 340, "click", "1")
        wait_until(lambda: s.focused_window() == panel, "the panel focused by a click")
        s.run("xdotool", "key", "Escape")
        wait_until(lambda: not s.visible_windows(), "the panel closed by Escape")
        self.assertIsNone(s.proc.poll())

# A sleep of the machine: the program is frozen while its wall clock runs on, and a timer that
# fell due meanwhile completes as soon as logind announces the wake, not a sleep-length later.

import os
import signal
import time
import unittest

import dbus

from harness import DASH, LOGIND, SCALE, Session, wait_until

STOPWATCH, START = "\u23f1", "larkspurhollow://start"


class SleepTests(unittest.TestCase):
    def test_due_timer_completes_on_wake(self):
        s, since = Session(self, logind=True, faketime=True), time.monotonic()
        s.launch(f"{START}?name=Nap&duration=60", f"{START}?name=Long&duration=600")
        s.wait_timers(lambda t: [x["state"] for x in t] == ["running"] * 2, "both running")
        # Put away: with nothing on screen the program sleeps until the next timer is due.
        s.send("larkspurhollow://toggle")
        wait_until(lambda: not s.visible_windows(), "the panel hidden")
        logind = s.system_bus.get_object(LOGIND, "/org/freedesktop/login1")
        sleep = lambda going: logind.EmitSignal(  # noqa: E731
            "org.freedesktop.login1.Manager", "PrepareForSleep", "b", [dbus.Boolean(going)],
            dbus_interface="org.freedesktop.DBus.Mock")

        sleep(True)
        os.kill(s.proc.pid, signal.SIGSTOP)
        s.shift_clock(120)
        os.kill(s.proc.pid, signal.SIGCONT)
        woken = time.monotonic()
        sleep(False)
        self.assertEqual(s.wait_notes(1, 1), [(f"{STOPWATCH} Nap {DASH} Time's up!", 0)])
        [done] = s.receiver.wait("timer.completed", 1, 1)
        self.assertLess(time.monotonic() - woken, 1 * SCALE)
        self.assertEqual((done["timer_name"], done["timer_duration"]), ("Nap", 60))

        # The other one counted the sleep too.
        s.send("larkspurhollow://pause")
        s.receiver.wait("timer.paused", 1)
        nap, long = s.wait_timers(lambda t: t[1]["state"] == "paused", "Long paused")
        self.assertEqual((nap["state"], nap["elapsedTime"]), ("completed", 60))
        self.assertTrue(120 < long["elapsedTime"] < 120 + time.monotonic() - since, long)
        self.assertTrue(s.receiver.quiet(4), s.receiver.bodies)

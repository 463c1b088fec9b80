"""URLs from the first launch and from later ones: hand-over, order, completion, commands."""

import time
import unittest

from harness import DASH, Session, payload

TEA = "\U0001F375"
VERSION = "Larkspurhollow 0.1.0\n"
IGNORED = ["", "not a url", "larkspurhollow:start", "larkspurhollow:///start",
           "Larkspurhollow://start", "larkspurhollow://Start", "larkspurhollow://starts",
           "http://start?name=x", "larkspurhollow://start?name=%zz", "larkspurhollow://launch"]


class UrlTests(unittest.TestCase):
    def setUp(self):
        self.s = Session()
        self.addCleanup(self.s.close)

    def test_hand_over_in_order_through_completion(self):
        s, since = self.s, time.time()
        s.launch("larkspurhollow://start?name=Tea&duration=1&emoji=%F0%9F%8D%B5",
                 "larkspurhollow://start?name=Long&duration=600")
        # Later launches hand over and exit 0; those at fault are ignored, the rest run in turn.
        s.send(*IGNORED, "larkspurhollow://start")
        for name in ("First", "Second"):
            s.send(f"larkspurhollow://start?name={name}&duration=600&mode=stopwatch")
        names = ["Tea", "Long", "Timer", "First", "Second"]
        timers = s.wait_timers(lambda t: [x["name"] for x in t] == names, "timers in order")
        self.assertEqual([(x["mode"], x["totalDuration"]) for x in timers[2:]],
                         [("countdown", 300), ("stopwatch", 600), ("stopwatch", 600)])

        self.assertEqual(s.wait_notes(1, 3), [(f"{TEA} Tea {DASH} Time's up!", 0)])
        [done] = s.receiver.wait("timer.completed", 1)
        self.assertGreaterEqual(time.time() - since, 0.98)
        self.assertEqual(payload(done, since), {"event": "timer.completed", "timer_name": "Tea",
                                                "timer_duration": 1, "timer_emoji": TEA})
        tea = s.wait_timers(lambda t: t[0]["state"] == "completed", "Tea stored completed")[0]
        self.assertEqual(tea["elapsedTime"], 1)
        started = s.receiver.events("timer.started")
        # Webhooks travel side by side, so only the stored list shows the order.
        self.assertEqual(sorted(b["timer_name"] for b in started), sorted(names))
        tea = next(b for b in started if b["timer_name"] == "Tea")
        self.assertEqual(payload(tea, since), {**payload(done, since), "event": "timer.started"})
        # The first launch's own URLs ran once; the ignored ones sent nothing.
        self.assertTrue(s.receiver.quiet(6), s.receiver.bodies)
        self.assertEqual(s.receiver.paths[0], ("/hook", "application/json"))

        s.send("larkspurhollow://pause")
        paused = s.receiver.wait("timer.paused", 4)
        self.assertEqual(sorted(b["timer_name"] for b in paused), sorted(names[1:]))
        s.send("larkspurhollow://resume")
        s.wait_timers(lambda t: [x["state"] for x in t] == ["completed"] + ["running"] * 4,
                      "all but Tea running again")
        s.send("larkspurhollow://reset")
        s.receiver.wait("timer.reset", 5)
        timers = s.wait_timers(lambda t: {x["state"] for x in t} == {"idle"}, "all reset")
        self.assertEqual({x["elapsedTime"] for x in timers}, {0})
        s.send("larkspurhollow://stop", "larkspurhollow://pause")
        s.wait_timers(lambda t: t == [], "no timers after stop")
        self.assertTrue(s.receiver.quiet(15), s.receiver.bodies)
        self.assertEqual(s.out, [])

    def test_options_are_answered_without_a_display(self):
        s = self.s
        s.launch()
        bare = {k: v for k, v in s.env.items() if k not in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")}
        for args, code, out in [(["--help"], 0, "Usage: larkspurhollow [URL...]\n"),
                                (["-h"], 0, "Usage: larkspurhollow [URL...]\n"),
                                (["--version"], 0, VERSION), (["-v"], 0, VERSION),
                                (["larkspurhollow://start", "--version"], 0, VERSION),
                                (["larkspurhollow://start", "--nope"], 2, "")]:
            with self.subTest(args=args):
                result = s.run(*args, env=bare)
                self.assertEqual((result.returncode, result.stdout[:len(out) or None]),
                                 (code, out), result.stderr)
                self.assertEqual(code == 2, "--nope" in result.stderr)
        self.assertIn("larkspurhollow://toggle", s.run("--help").stdout)
        # No option reached the running program, nor started one of its own.
        self.assertTrue(s.receiver.quiet(0))
        self.assertIsNone(s.timers())


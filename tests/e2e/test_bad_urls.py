"""URLs that are malformed, foreign or absurd: ignored or reduced to defaults, never fatal."""

import unittest

from harness import E2ETestCase, holds_for

ABSENT = object()

IGNORED = [
    "",
    "not a url",
    "larkspurhollow:start",              # no host
    "larkspurhollow://",                 # empty host
    "larkspurhollow:///start",           # the command in the path, not the host
    "larkspurhollow//start",
    "://start",
    "larkspurhollow://Start",            # commands are case-sensitive
    "larkspurhollow://START?name=x",
    "Larkspurhollow://start",            # so is the scheme
    "LARKSPURHOLLOW://pause",
    "larkspurhollowx://start",
    "xlarkspurhollow://start",
    "http://start?name=x",
    "mailto:start",
    "larkspurhollow://launch?name=x",
    "larkspurhollow://starts",
    "larkspurhollow://start%20",
    "larkspurhollow://start?name=%zz",   # broken percent-escape
    "larkspurhollow://start?name=%4",
]

# query, name, duration, mode, emoji
START_PARAMETERS = [
    ("duration=1e308", "Timer", 1e308, "countdown", ABSENT),  # huge but a number: kept
    ("duration=abc", "Timer", 300, "countdown", ABSENT),
    ("duration=nan", "Timer", 300, "countdown", ABSENT),
    ("duration=inf", "Timer", 300, "countdown", ABSENT),
    ("duration=-5", "Timer", 300, "countdown", ABSENT),
    ("duration=1e999", "Timer", 300, "countdown", ABSENT),
    ("duration=", "Timer", 300, "countdown", ABSENT),
    ("duration=%205", "Timer", 300, "countdown", ABSENT),
    ("duration=5s", "Timer", 300, "countdown", ABSENT),
    ("duration=0x10", "Timer", 300, "countdown", ABSENT),
    ("duration=90.5", "Timer", 90.5, "countdown", ABSENT),
    ("duration=1e3", "Timer", 1000, "countdown", ABSENT),
    ("mode=Stopwatch", "Timer", 300, "countdown", ABSENT),
    ("mode=stopwatch", "Timer", 300, "stopwatch", ABSENT),
    ("mode=loop&duration=200", "Timer", 200, "loop", ABSENT),
    ("mode=endTime", "Timer", 300, "endTime", ABSENT),
    ("mode=sprint", "Timer", 300, "countdown", ABSENT),
    ("name=Deep+Work", "Deep+Work", 300, "countdown", ABSENT),
    ("name=Deep%20Work", "Deep Work", 300, "countdown", ABSENT),
    ("name=%C3%89t%C3%A9%20%E2%98%95%20%F0%9F%8C%8A", "\u00c9t\u00e9 \u2615 \U0001F30A", 300,
     "countdown", ABSENT),
    ("name=Caf\u00e9 \u2615", "Caf\u00e9 \u2615", 300, "countdown", ABSENT),
    ("name=50%25%20off%26more%3D%3F", "50% off&more=?", 300, "countdown", ABSENT),
    ("name=A&name=B", "B", 300, "countdown", ABSENT),
    ("name=A&name", "Timer", 300, "countdown", ABSENT),
    ("name=", "", 300, "countdown", ABSENT),
    ("name=" + "x" * 5000, "x" * 5000, 300, "countdown", ABSENT),
    ("emoji=", "Timer", 300, "countdown", ""),
    ("emoji=abc", "Timer", 300, "countdown", "abc"),
    ("emoji=%F0%9F%8D%B5&name=Tea#ignored=1", "Tea", 300, "countdown", "\U0001F375"),
    ("colour=red&id=1&state=paused&duration=42", "Timer", 42, "countdown", ABSENT),
]


class IgnoredUrlTests(E2ETestCase):
    def test_ignored_urls_change_nothing(self):
        s = self.running_session()
        # One launch, so a URL that upset the handler would also cost the valid one at the end.
        s.send(*IGNORED, "larkspurhollow://start?name=After")
        timers = s.wait_for_timers(lambda t: len(t) >= 1)
        self.assertEqual([t["name"] for t in timers], ["After"])
        s.receiver.wait_for_events("timer.started", 1)
        self.assertTrue(holds_for(lambda: len(s.receiver.requests) == 1, 0.3))
        self.assertEqual(s.stdout, [])

    def test_pause_of_nothing_sends_nothing(self):
        s = self.running_session()
        s.send("larkspurhollow://pause", "larkspurhollow://resume", "larkspurhollow://reset",
               "larkspurhollow://stop", "larkspurhollow://toggle")
        self.assertTrue(holds_for(lambda: s.receiver.requests == [], 0.5))
        s.assert_running()


class StartParameterTests(E2ETestCase):
    def test_parameter_table(self):
        # A tray host is present so that the label has to draw the absurd first timer.
        s = self.running_session(tray=True)
        s.send(*("larkspurhollow://start?" + query for query, *_ in START_PARAMETERS))
        timers = s.wait_for_timers(lambda t: len(t) == len(START_PARAMETERS), timeout=10)
        bodies = s.receiver.wait_for_events("timer.started", len(START_PARAMETERS))
        started = {(b["timer_name"], b["timer_duration"], b["timer_emoji"]) for b in bodies}
        for timer, (query, name, duration, mode, emoji) in zip(timers, START_PARAMETERS):
            with self.subTest(query=query[:60]):
                self.assertEqual(timer["name"], name)
                self.assertEqual(timer["totalDuration"], duration)
                self.assertEqual(timer["mode"], mode)
                self.assertEqual(timer.get("emoji", ABSENT), emoji)
                self.assertEqual(timer["state"], "running")
                self.assertIn((name, duration, "" if emoji is ABSENT else emoji), started)
        self.assertIsNotNone(s.embedded_tray_icon())
        s.assert_running()


if __name__ == "__main__":
    unittest.main()

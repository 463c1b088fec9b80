"""URL commands handed to the running program by a second launch."""

import time
import unittest
from collections import Counter

from harness import UUID_RE, E2ETestCase, holds_for, make_timer, reference_now

TEA = "\U0001F375"
BASE_KEYS = {"id", "name", "mode", "state", "totalDuration", "elapsedTime", "soundConfig",
             "createdAt", "preWarningFired"}
DEFAULT_SOUND = {"soundName": "chime", "volume": 0.8, "alertMode": "oneShot"}


class StartTests(E2ETestCase):
    def test_start_stores_runs_and_announces_the_timer(self):
        s = self.running_session(webhook_path="/hooks/in?src=e2e")
        since = time.time()
        s.send("larkspurhollow://start?name=Tea&duration=180&emoji=%F0%9F%8D%B5")

        [timer] = s.wait_for_timers(lambda t: len(t) == 1 and t[0]["state"] == "running")
        self.assertEqual(set(timer), BASE_KEYS | {"emoji"})
        self.assertRegex(timer["id"], UUID_RE)
        self.assertEqual((timer["name"], timer["mode"], timer["totalDuration"], timer["emoji"]),
                         ("Tea", "countdown", 180, TEA))
        self.assertEqual(timer["soundConfig"], DEFAULT_SOUND)
        self.assertFalse(timer["preWarningFired"])
        self.assertAlmostEqual(timer["createdAt"], reference_now(), delta=5)

        [body] = s.receiver.wait_for_events("timer.started", 1)
        self.assertPayload(body, "timer.started", "Tea", 180, TEA, since)
        [request] = s.receiver.requests
        self.assertEqual(request.method, "POST")
        self.assertEqual(request.path, "/hooks/in?src=e2e")
        self.assertEqual(request.headers.get("content-type"), "application/json")
        # The body is compact JSON, as the receiving service is promised.
        self.assertNotIn(b"\n", request.body)

    def test_start_without_parameters_uses_the_defaults(self):
        s = self.running_session()
        since = time.time()
        s.send("larkspurhollow://start")
        [timer] = s.wait_for_timers(lambda t: len(t) == 1)
        self.assertEqual(set(timer), BASE_KEYS)
        self.assertEqual((timer["name"], timer["mode"], timer["totalDuration"], timer["state"]),
                         ("Timer", "countdown", 300, "running"))
        [body] = s.receiver.wait_for_events("timer.started", 1)
        self.assertPayload(body, "timer.started", "Timer", 300, "", since)

    def test_start_then_pause_in_one_launch(self):
        s = self.running_session()
        s.send("larkspurhollow://start?name=A&duration=60", "larkspurhollow://pause")
        s.wait_for_timers(lambda t: [(x["name"], x["state"]) for x in t] == [("A", "paused")])
        s.receiver.wait_for_events("timer.paused", 1)
        self.assertEqual([b["event"] for b in s.receiver.events()].count("timer.started"), 1)


class AllTimerCommandTests(E2ETestCase):
    """pause, resume, reset and stop act on every timer, whatever its state."""

    def setUp(self):
        self.s = self.session()
        self.s.write_timers([
            make_timer("Paused", state="paused", total=300, elapsed=40, emoji="P"),
            make_timer("Idle", state="idle", total=120),
            make_timer("Done", state="completed", total=60, elapsed=60),
        ])
        self.s.launch()
        self.s.send("larkspurhollow://start?name=Run1&duration=600",
                    "larkspurhollow://start?name=Watch&duration=50&mode=stopwatch")
        self.s.receiver.wait_for_events("timer.started", 2)

    def states(self):
        return {t["name"]: t["state"] for t in self.s.timers() or []}

    def elapsed(self, name):
        return self.s.timer_named(name)["elapsedTime"]

    def quiet_receiver(self, count):
        """The receiver keeps exactly count requests for a moment."""
        return holds_for(lambda: len(self.s.receiver.requests) == count, 0.4)

    def test_pause_announces_every_paused_timer(self):
        time.sleep(0.3)  # let the new timers count a little
        self.s.send("larkspurhollow://pause")
        bodies = self.s.receiver.wait_for_events("timer.paused", 3)
        self.assertTrue(self.quiet_receiver(5))
        # Paused before the command counts too; idle and completed timers do not.
        self.assertEqual(Counter(b["timer_name"] for b in bodies),
                         Counter({"Paused": 1, "Run1": 1, "Watch": 1}))
        by_name = {b["timer_name"]: b for b in bodies}
        self.assertEqual(by_name["Paused"]["timer_duration"], 300)
        self.assertEqual(by_name["Paused"]["timer_emoji"], "P")
        self.assertEqual(by_name["Watch"]["timer_duration"], 50)
        self.s.wait_for_timers(lambda t: {x["name"]: x["state"] for x in t} == {
            "Paused": "paused", "Idle": "idle", "Done": "completed", "Run1": "paused",
            "Watch": "paused"})
        self.assertGreater(self.elapsed("Run1"), 0.1)
        self.assertEqual(self.elapsed("Paused"), 40)

    def test_resume_continues_and_sends_nothing(self):
        self.s.send("larkspurhollow://pause")
        self.s.receiver.wait_for_events("timer.paused", 3)
        self.s.wait_for_timers(lambda t: t[3]["state"] == "paused")
        run1_before = self.elapsed("Run1")
        sent = len(self.s.receiver.requests)

        self.s.send("larkspurhollow://resume")
        self.s.wait_for_timers(lambda t: {x["name"]: x["state"] for x in t} == {
            "Paused": "running", "Idle": "idle", "Done": "completed", "Run1": "running",
            "Watch": "running"})
        self.assertTrue(self.quiet_receiver(sent))
        time.sleep(0.5)
        self.s.send("larkspurhollow://pause")
        self.s.wait_for_timers(lambda t: t[0]["state"] == "paused" and t[3]["state"] == "paused")
        # Progress carries over the pause, and the restored paused timer keeps its 40 s.
        self.assertGreaterEqual(self.elapsed("Run1"), run1_before + 0.4)
        self.assertGreaterEqual(self.elapsed("Paused"), 40.4)
        self.assertLess(self.elapsed("Paused"), 45)

    def test_reset_announces_every_timer_then_resets(self):
        self.s.send("larkspurhollow://reset")
        bodies = self.s.receiver.wait_for_events("timer.reset", 5)
        self.assertTrue(self.quiet_receiver(7))
        self.assertEqual({b["timer_name"]: b["timer_duration"] for b in bodies},
                         {"Paused": 300, "Idle": 120, "Done": 60, "Run1": 600, "Watch": 50})
        timers = self.s.wait_for_timers(lambda t: all(x["state"] == "idle" for x in t))
        self.assertEqual([x["elapsedTime"] for x in timers], [0] * 5)
        self.assertEqual([x["name"] for x in timers], ["Paused", "Idle", "Done", "Run1", "Watch"])

    def test_stop_removes_everything_silently(self):
        self.s.send("larkspurhollow://stop")
        self.s.wait_for_timers(lambda t: t == [])
        self.assertEqual(self.s.path("active-timers.json").read_text(), "[]")
        self.assertTrue(self.quiet_receiver(2))
        # With nothing left, pause and reset have nobody to announce.
        self.s.send("larkspurhollow://pause", "larkspurhollow://reset")
        self.assertTrue(self.quiet_receiver(2))
        self.s.assert_running()

    def test_toggle_leaves_the_timers_alone(self):
        before = self.s.path("active-timers.json").read_bytes()
        self.s.send("larkspurhollow://toggle")
        self.s.send("larkspurhollow://toggle")
        self.assertTrue(self.quiet_receiver(2))
        self.assertEqual(self.s.path("active-timers.json").read_bytes(), before)
        self.s.assert_running()


if __name__ == "__main__":
    unittest.main()

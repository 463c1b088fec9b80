"""Timers reaching their end: notifications, webhooks and the stored state."""

import time
import unittest

from harness import E2ETestCase, holds_for, make_timer, wait_until

TEA = "\U0001F375"
STOPWATCH = "\u23f1"
DASH = "\u2014"


def bodies(session):
    return [n["body"] for n in session.notifications()]


class CompletionTests(E2ETestCase):
    def test_countdowns_complete_and_laps_do_not(self):
        s = self.running_session()
        started_at = time.time()
        s.send("larkspurhollow://start?name=Tea&duration=1&emoji=%F0%9F%8D%B5",
               "larkspurhollow://start?name=Plain&duration=2",
               "larkspurhollow://start?name=Lap&duration=0.5&mode=loop")
        s.receiver.wait_for_events("timer.started", 3)

        [first] = s.receiver.wait_for_events("timer.completed", 1)
        # Not before its second was over.
        self.assertGreaterEqual(time.time() - started_at, 0.98)
        self.assertPayload(first, "timer.completed", "Tea", 1, TEA, started_at)
        completed = s.receiver.wait_for_events("timer.completed", 2)
        self.assertPayload(completed[1], "timer.completed", "Plain", 2, "", started_at)

        notes = s.wait_for_notifications(2)
        self.assertEqual([n["body"] for n in notes],
                         [f"{TEA} Tea {DASH} Time's up!", f"{STOPWATCH} Plain {DASH} Time's up!"])
        for note in notes:
            self.assertEqual(note["app_name"], "Larkspurhollow")
            self.assertEqual(note["summary"], "Larkspurhollow")
            self.assertEqual(note["replaces_id"], 0)

        timers = s.wait_for_timers(lambda t: [x["state"] for x in t] ==
                                   ["completed", "completed", "running"])
        self.assertEqual([x["elapsedTime"] for x in timers[:2]], [1, 2])
        # The lap timer went round several times meanwhile and never completed.
        self.assertTrue(holds_for(lambda: len(s.notifications()) == 2
                                  and len(s.receiver.events("timer.completed")) == 2, 0.6))
        s.assert_running()

    def test_pre_end_warning(self):
        s = self.session()
        # name, total, elapsed, warning seconds, emoji, text of the amount
        table = [
            ("Short", 4, 0, 2, TEA, "2s"),
            ("Minute", 100, 99, 90, None, "1m"),
            ("Two", 200, 199.2, 150, "\U0001F514", "2m"),
        ]
        s.write_timers([make_timer(name, total=total, elapsed=elapsed, pre_warning=p, emoji=emoji)
                        for name, total, elapsed, p, emoji, _ in table])
        s.launch()
        self.assertTrue(holds_for(lambda: s.notifications() == [], 0.3),
                        "a paused timer must not warn")
        resumed_at = time.time()
        s.send("larkspurhollow://resume")

        warnings = {f"{emoji or STOPWATCH} {name} {DASH} {amount} remaining!"
                    for name, _, _, _, emoji, amount in table}
        short_warning = f"{TEA} Short {DASH} 2s remaining!"
        # The two nearly finished timers warn at once; Short only when 2 of its 4 s are left.
        s.wait_for_notifications(2, timeout=2)
        wait_until(lambda: short_warning in bodies(s), 4, "the warning of Short")
        self.assertGreaterEqual(time.time() - resumed_at, 1.98)
        seen = bodies(s)
        self.assertEqual(set(seen[:2]), warnings - {short_warning})

        notes = s.wait_for_notifications(6, timeout=6)
        self.assertEqual(len(notes), 6)
        self.assertEqual(set(bodies(s)), warnings | {
            f"{emoji or STOPWATCH} {name} {DASH} Time's up!" for name, *_, emoji, _ in table})
        for name, *_ in table:
            with self.subTest(name=name):
                order = [i for i, b in enumerate(bodies(s)) if f" {name} {DASH} " in b]
                self.assertEqual(len(order), 2)
                self.assertIn("remaining!", bodies(s)[order[0]])
                self.assertIn("Time's up!", bodies(s)[order[1]])
        # Warning and completion are separate notifications: neither replaces the other.
        self.assertEqual({n["replaces_id"] for n in notes}, {0})
        self.assertTrue(all(n["summary"] == "Larkspurhollow" for n in notes))

        timers = s.wait_for_timers(lambda t: all(x["state"] == "completed" for x in t))
        self.assertTrue(all(x["preWarningFired"] for x in timers))
        s.receiver.wait_for_events("timer.completed", 3)

    def test_each_lap_warning_replaces_the_last(self):
        s = self.session()
        s.write_timers([make_timer("Laps", mode="loop", total=1.0, pre_warning=1)])
        s.launch()
        s.send("larkspurhollow://resume")
        notes = s.wait_for_notifications(3, timeout=5)
        self.assertEqual({n["body"] for n in notes}, {f"{STOPWATCH} Laps {DASH} 1s remaining!"})
        # The service numbers from 1: the first warning got id 1, later laps replace it.
        self.assertEqual([n["replaces_id"] for n in notes[:3]], [0, 1, 1])
        self.assertEqual(s.receiver.events("timer.completed"), [])


if __name__ == "__main__":
    unittest.main()

"""Timers written by an earlier run come back in the state they were left in."""

import signal
import time
import unittest

from harness import E2ETestCase, holds_for, make_timer, reference_now

ALARM = "\u23f0"
DASH = "\u2014"


class RestoreTests(E2ETestCase):
    def test_each_stored_state_comes_back(self):
        s = self.session()
        s.write_timers([
            make_timer("Kept", state="paused", total=300, elapsed=100, emoji="K"),
            make_timer("Going", state="running", total=300, elapsed=50),
            make_timer("Finished", state="completed", total=60, elapsed=60),
            make_timer("Alarm", mode="endTime", state="running", total=100, elapsed=70,
                       emoji=ALARM, end_date=reference_now() - 30),
            make_timer("Soon", state="running", total=1.5, elapsed=0.5),
            make_timer("Idle", state="idle", total=30),
        ])
        launch_started = time.time()
        s.launch()

        # The end time passed while the program was away: it completes right after launch.
        # A slow launch (sanitizers) may already have seen Soon finish as well.
        alarm = s.wait_for_notifications(1, timeout=3)[0]
        self.assertEqual(alarm["body"], f"{ALARM} Alarm {DASH} Time's up!")
        body = s.receiver.wait_for_events("timer.completed", 1)[0]
        self.assertEqual((body["timer_name"], body["timer_emoji"]), ("Alarm", ALARM))

        # Soon had one second left and finishes it now.
        notes = s.wait_for_notifications(2, timeout=3)
        self.assertEqual(notes[1]["body"], f"\u23f1 Soon {DASH} Time's up!")
        self.assertGreaterEqual(time.time() - launch_started, 0.9)
        s.receiver.wait_for_events("timer.completed", 2)
        # Finished was completed before: it is not announced again.
        self.assertTrue(holds_for(lambda: len(s.notifications()) == 2
                                  and len(s.receiver.events("timer.completed")) == 2, 0.5),
                        (s.notifications(), s.receiver.events()))
        self.assertEqual({b["timer_name"] for b in s.receiver.events("timer.completed")},
                         {"Alarm", "Soon"})

        s.send("larkspurhollow://pause")
        paused_at = time.time()
        states = {"Kept": "paused", "Going": "paused", "Finished": "completed",
                  "Alarm": "completed", "Soon": "completed", "Idle": "idle"}
        timers = s.wait_for_timers(lambda t: {x["name"]: x["state"] for x in t} == states)
        by_name = {t["name"]: t for t in timers}
        self.assertEqual(by_name["Kept"]["elapsedTime"], 100)
        self.assertEqual(by_name["Soon"]["elapsedTime"], 1.5)
        self.assertEqual(by_name["Finished"]["elapsedTime"], 60)
        # Going counted on from 50 while the program ran, and only then (an hour went by since).
        going = by_name["Going"]["elapsedTime"] - 50
        self.assertGreaterEqual(going, 0.9)
        self.assertLessEqual(going, paused_at - launch_started + 0.2)
        self.assertEqual({b["timer_name"] for b in s.receiver.wait_for_events("timer.paused", 2)},
                         {"Kept", "Going"})

        # The restored paused timer resumes from its stored progress, not from zero.
        s.send("larkspurhollow://resume")
        time.sleep(0.4)
        s.send("larkspurhollow://pause")
        kept = s.wait_for_timers(lambda t: t[0]["state"] == "paused" and t[0]["elapsedTime"] > 100)
        self.assertLess(kept[0]["elapsedTime"], 103)

    def test_round_trip_through_a_restart(self):
        s = self.session()
        s.launch()
        s.send("larkspurhollow://start?name=Long&duration=600&emoji=L",
               "larkspurhollow://start?name=Brief&duration=1",
               "larkspurhollow://start?name=Watch&mode=stopwatch")
        s.wait_for_notifications(1, timeout=3)
        # The webhook travels on its own; quitting before it arrived would lose it.
        s.receiver.wait_for_events("timer.completed", 1)
        self.assertEqual(s.stop_program(signal.SIGTERM), 0)
        before = s.timers()
        self.assertEqual([(t["name"], t["state"]) for t in before],
                         [("Long", "running"), ("Brief", "completed"), ("Watch", "running")])
        self.assertGreater(before[0]["elapsedTime"], 0.9)

        relaunched = time.time()
        s.launch()
        time.sleep(0.4)
        s.send("larkspurhollow://pause")
        after = s.wait_for_timers(lambda t: t[0]["state"] == "paused")
        self.assertEqual([(t["id"], t["name"], t["createdAt"]) for t in after],
                         [(t["id"], t["name"], t["createdAt"]) for t in before])
        for i in (0, 2):
            with self.subTest(timer=after[i]["name"]):
                gained = after[i]["elapsedTime"] - before[i]["elapsedTime"]
                self.assertGreaterEqual(gained, 0.3)
                self.assertLessEqual(gained, time.time() - relaunched + 0.2)
        # The completed one stays completed and quiet.
        self.assertEqual(after[1]["state"], "completed")
        self.assertEqual(len(s.notifications()), 1)
        self.assertEqual(len(s.receiver.events("timer.completed")), 1)


if __name__ == "__main__":
    unittest.main()

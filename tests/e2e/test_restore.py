"""Timers come back from an earlier run, a quit by signal and a crash, each as it was left;
a report line into a pipe nobody reads (SIGPIPE) is not fatal."""

import json
import os
import signal
import time
import unittest

from harness import DASH, EPOCH_2001, Session, holds_for, stored_timer, wait_until

ALARM = "\u23f0"


class RestoreTests(unittest.TestCase):
    def test_restore_across_quit_and_crash(self):
        s = Session()
        self.addCleanup(s.close)
        s.write("active-timers.json", json.dumps([
            stored_timer("Kept", "paused", 300, 100),
            stored_timer("Going", "running", 300, 50),
            stored_timer("Finished", "completed", 60, 60),
            stored_timer("Alarm", "running", 100, 70, mode="endTime", emoji=ALARM,
                         endDate=time.time() - EPOCH_2001 - 30)]))
        launched = time.time()
        s.launch()
        # Its end passed while the program was away: it completes at launch, and only it.
        self.assertEqual(s.wait_notes(1, 3), [(f"{ALARM} Alarm {DASH} Time's up!", 0)])
        [body] = s.receiver.wait("timer.completed", 1)
        self.assertEqual((body["timer_name"], body["timer_emoji"]), ("Alarm", ALARM))
        self.assertTrue(holds_for(lambda: len(s.notifications()) == 1 and s.receiver.quiet(1)))

        s.send("larkspurhollow://pause")
        paused_at = time.time()
        self.assertEqual({b["timer_name"] for b in s.receiver.wait("timer.paused", 2)},
                         {"Kept", "Going"})
        timers = {t["name"]: t for t in s.wait_timers(lambda t: t[1]["state"] == "paused",
                                                      "Going paused")}
        self.assertEqual({n: (t["state"], t["elapsedTime"]) for n, t in timers.items()
                          if n != "Going"}, {"Kept": ("paused", 100), "Finished": (
                              "completed", 60), "Alarm": ("completed", 100)})
        # Going counted on from 50 while the program ran, and only then.
        self.assertTrue(0.3 <= timers["Going"]["elapsedTime"] - 50 <= paused_at - launched + .2)

        # The paused one resumes from its stored progress; a quit saves what it gained since.
        s.send("larkspurhollow://resume")
        time.sleep(0.4)
        self.assertEqual(s.stop(signal.SIGTERM), 0, s.diagnostics())
        self.assertFalse(s.socket_live() or (s.root / "run/larkspurhollow").exists())
        kept = s.timers()[0]
        self.assertEqual(kept["state"], "running")
        self.assertTrue(100.2 <= kept["elapsedTime"] < 102, kept)

        # Running again, it keeps counting; the completed ones are not announced again.
        s.launch()
        time.sleep(0.5)
        s.send("larkspurhollow://pause")
        s.receiver.wait("timer.paused", 4)
        after = s.wait_timers(lambda t: t[0]["state"] == "paused", "Kept paused again")
        self.assertGreaterEqual(after[0]["elapsedTime"], kept["elapsedTime"] + 0.4)
        self.assertTrue(holds_for(lambda: len(s.notifications()) == 1 and s.receiver.quiet(5)))
        # The socket a crash left behind is taken over by the next launch, with the list.
        s.proc.kill()
        s.stop()
        s.launch()
        s.send("larkspurhollow://reset")
        self.assertEqual({b["timer_name"] for b in s.receiver.wait("timer.reset", 4)},
                         {"Kept", "Going", "Finished", "Alarm"})
        self.assertEqual(s.stop(signal.SIGTERM), 0)

    def test_interrupt_and_closed_output(self):
        # An address the program cannot use: each event costs one report line.
        s = Session(webhook="ftp://127.0.0.1:9/hook")
        self.addCleanup(s.close)
        s.launch("larkspurhollow://start?name=One&duration=600")
        wait_until(lambda: s.out, "a report line")
        time.sleep(0.3)
        self.assertEqual([line[:15] for line in s.out], ["Webhook error: "])
        self.assertEqual(s.stop(signal.SIGINT), 0, s.diagnostics())
        [one] = s.timers()
        # Progress since the start is only on disk if the quit wrote it.
        self.assertEqual(one["state"], "running")
        self.assertGreaterEqual(one["elapsedTime"], 0.3)

        read_end, write_end = os.pipe()
        os.close(read_end)
        s.launch(stdout=write_end)
        os.close(write_end)
        s.send("larkspurhollow://start?name=Two&duration=600")
        s.send("larkspurhollow://start?name=Three&duration=600")
        s.wait_timers(lambda t: [x["name"] for x in t] == ["One", "Two", "Three"], "all three")
        self.assertEqual(s.stop(signal.SIGTERM), 0, s.diagnostics())


# Timers come back from an earlier run, a quit by signal (SIGTERM, SIGINT) and a crash, each as
# it was left; a report line into a pipe nobody reads (SIGPIPE) is not fatal.

import signal
import subprocess
import time
import unittest

from harness import DASH, EPOCH_2001, Session, stored_timer, wait_until

ALARM = "\u23f0"


class RestoreTests(unittest.TestCase):
    def test_restore_across_quit_and_crash(self):
        s = Session(self, tray=True, timers=[  # so no line about a missing tray
            stored_timer("Kept", "paused", 300, 100), stored_timer("Going", "running", 300, 50),
            stored_timer("Finished", "completed", 60, 60),
            stored_timer("Alarm", "running", 100, 70, mode="endTime", emoji=ALARM,
                         endDate=time.time() - EPOCH_2001 - 30)])
        launched = time.time()
        s.launch()
        # Its end passed while the program was away: it completes at launch, and only it.
        self.assertEqual(s.wait_notes(1, 3), [(f"{ALARM} Alarm {DASH} Time's up!", 0)])
        [body] = s.receiver.wait("timer.completed", 1)
        self.assertEqual((body["timer_name"], body["timer_emoji"]), ("Alarm", ALARM))
        self.assertTrue(s.receiver.quiet(1) and len(s.wait_notes(1)) == 1)

        s.send("larkspurhollow://pause")
        paused_at = time.time()
        self.assertEqual(s.receiver.names("timer.paused", 2), ["Going", "Kept"])
        kept, going, *done = s.wait_timers(lambda t: t[1]["state"] == "paused", "Going paused")
        self.assertEqual([(t["state"], t["elapsedTime"]) for t in [kept, *done]],
                         [("paused", 100), ("completed", 60), ("completed", 100)])
        # Going counted on from 50 while the program ran, and only then.
        self.assertTrue(0.3 <= going["elapsedTime"] - 50 <= paused_at - launched + .2)

        # The paused one resumes from its stored progress; a quit saves what it gained since.
        s.send("larkspurhollow://resume")
        time.sleep(0.4)
        self.assertEqual(s.stop(), 0, s.diagnostics())
        self.assertFalse((s.root / "run/larkspurhollow").exists())  # nor a live socket
        kept = s.timers()[0]
        self.assertTrue(kept["state"] == "running" and 100.2 <= kept["elapsedTime"] < 102, kept)

        # Running again, it keeps counting; the completed ones are not announced again.
        s.launch()
        time.sleep(0.5)
        s.send("larkspurhollow://pause")
        s.receiver.wait("timer.paused", 4)
        after = s.wait_timers(lambda t: t[0]["state"] == "paused", "Kept paused again")
        self.assertGreaterEqual(after[0]["elapsedTime"], kept["elapsedTime"] + 0.4)
        self.assertTrue(s.receiver.quiet(5) and len(s.wait_notes(1)) == 1)
        # The socket a crash left behind is taken over by the next launch, with the list.
        s.stop(signal.SIGKILL)
        s.launch()
        s.send("larkspurhollow://reset")
        self.assertEqual(s.receiver.names("timer.reset", 4), ["Alarm", "Finished", "Going", "Kept"])
        s.stop()

        # An address the program cannot use: each event costs one report line.
        s.write("webhook-url.json", "ftp://127.0.0.1:9/hook")
        s.launch("larkspurhollow://start?name=One&duration=600")
        wait_until(lambda: s.out, "a report line")
        time.sleep(0.3)
        self.assertEqual([line[:15] for line in s.out], ["Webhook error: "])
        self.assertEqual(s.stop(signal.SIGINT), 0, s.diagnostics())
        # Progress since the start is only on disk if the quit wrote it.
        one = s.timers()[4]
        self.assertTrue(one["state"] == "running" and one["elapsedTime"] >= 0.3, one)

        s.launch(stdout=subprocess.PIPE)
        s.proc.stdout.close()  # nobody reads the report lines any more
        for name in ("Two", "Three"):
            s.send(f"larkspurhollow://start?name={name}&duration=600")
        s.wait_timers(lambda t: [x["name"] for x in t][4:] == ["One", "Two", "Three"], "all three")
        self.assertEqual(s.stop(), 0, s.diagnostics())

"""Quitting by signal ends the program cleanly and keeps the timers' progress."""

import signal
import time
import unittest

from harness import E2ETestCase


class QuitSignalTests(E2ETestCase):
    def test_quit_signals_save_and_exit_zero(self):
        for signum in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=signum.name):
                s = self.running_session()
                s.send("larkspurhollow://start?name=Q&duration=600",
                       "larkspurhollow://start?name=P&duration=600", "larkspurhollow://pause",
                       "larkspurhollow://start?name=R&duration=600")
                stored = s.wait_for_timers(lambda t: len(t) == 3)
                self.assertEqual(stored[2]["elapsedTime"], 0)
                time.sleep(0.4)

                self.assertEqual(s.stop_program(signum), 0)
                timers = s.timers()
                self.assertEqual([(t["name"], t["state"]) for t in timers],
                                 [("Q", "paused"), ("P", "paused"), ("R", "running")])
                # Progress since the last save is only on disk if the quit wrote it.
                self.assertGreaterEqual(timers[2]["elapsedTime"], 0.3)
                self.assertFalse(s.socket_path.exists(), "socket left behind")
                self.assertEqual(s.stdout, [])
                s.close()


if __name__ == "__main__":
    unittest.main()
